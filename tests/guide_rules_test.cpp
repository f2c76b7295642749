// The user guide beside the program: its path, and what the command says when it cannot show it.
#include <string>

#include "guide_rules.h"
#include "test_util.h"

namespace {

TEST(GuideRules, TheGuideIsLookedForBesideTheProgram) {
    struct Case {
        const char16_t* program;
        const char16_t* guide;  // null: no path
    } cases[] = {
        {u"C:\\Tamsel\\tamsel.exe", u"C:\\Tamsel\\guide-ja.html"},
        {u"\\\\server\\share\\ツール\\tamsel.exe", u"\\\\server\\share\\ツール\\guide-ja.html"},
        {u"C:\\v1.0\\tamsel", u"C:\\v1.0\\guide-ja.html"},
        {u"tamsel.exe", nullptr},
    };
    for (const Case& c : cases) {
        char16_t guide[64] = u"(before)";
        bool made = GuidePathBeside(c.program, guide, 64);
        EXPECT_EQ(c.guide != nullptr, made);
        EXPECT_EQ(std::u16string(c.guide != nullptr ? c.guide : u""), guide);
    }
    // Exactly as long as the room, and one longer.
    std::u16string folder = u"C:\\" + std::u16string(20, u'x') + u"\\";
    std::u16string program = folder + u"tamsel.exe";
    size_t needed = folder.size() + std::u16string(GUIDE_FILE_NAME).size() + 1;
    std::u16string guide(needed, u'?');
    EXPECT_TRUE(GuidePathBeside(program.c_str(), guide.data(), needed));
    EXPECT_FALSE(GuidePathBeside(program.c_str(), guide.data(), needed - 1));
    EXPECT_EQ(u'\0', guide[0]) << "nothing half written";
}

TEST(GuideRules, TheCommandSaysWhyTheGuideDidNotShow) {
    struct Case {
        bool pathMade, exists, opened;
        GuideMessage message;
    } cases[] = {
        {true, true, true, GUIDE_SHOWN},
        {true, true, false, GUIDE_NOT_OPENED},
        {true, false, false, GUIDE_MISSING},
        {false, false, false, GUIDE_MISSING},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.message, GuideMessageFor(c.pathMade, c.exists, c.opened))
            << c.pathMade << c.exists << c.opened;
    }
}

}  // namespace
