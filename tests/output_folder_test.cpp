// The output folder as a chosen path makes it: always one "\" at its end.
#include <string>

#include "output_folder.h"
#include "test_util.h"

namespace {

TEST(OutputFolder, EndsWithExactlyOneSeparator) {
    struct Case {
        const char16_t* chosen;
        const char16_t* folder;
        const char* why;
    } cases[] = {
        {u"C:\\", u"C:\\", "a drive root keeps its single one"},
        {u"C:\\Users\\edit\\Desktop", u"C:\\Users\\edit\\Desktop\\", "an ordinary folder"},
        {u"\\\\server\\share\\out", u"\\\\server\\share\\out\\", "a network folder"},
        {u"D:\\編集\\出力", u"D:\\編集\\出力\\", "Japanese names"},
        {u"", u"", "nothing chosen stays empty"},
    };
    for (const Case& c : cases) {
        char16_t folder[64] = {u'x'};
        ASSERT_TRUE(SetOutputFolder(folder, 64, c.chosen)) << c.why;
        EXPECT_EQ(std::u16string(c.folder), std::u16string(folder)) << c.why;
    }
}

TEST(OutputFolder, APathThatDoesNotFitChangesNothing) {
    char16_t folder[8] = u"E:\\old\\";
    // Seven units and a "\" would need nine with the terminator.
    EXPECT_FALSE(SetOutputFolder(folder, 8, u"C:\\abcd"));
    EXPECT_EQ(u"E:\\old\\", std::u16string(folder));
    // Six units and a "\" fill it exactly; seven ending in "\" too.
    EXPECT_TRUE(SetOutputFolder(folder, 8, u"C:\\abc"));
    EXPECT_EQ(u"C:\\abc\\", std::u16string(folder));
    EXPECT_TRUE(SetOutputFolder(folder, 8, u"C:\\abc\\"));
    EXPECT_EQ(u"C:\\abc\\", std::u16string(folder));
}

}  // namespace
