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
        {u"\\\\server\\ツール\\tamsel.exe", u"\\\\server\\ツール\\guide-ja.html"},
        {u"C:\\v1.0\\tamsel", u"C:\\v1.0\\guide-ja.html"},
        {u"tamsel.exe", nullptr},
        {u"C:\\a_folder_name_that_is_too_long_for_the_room\\tamsel.exe", nullptr},
    };
    for (const Case& c : cases) {
        char16_t guide[48] = u"(before)";
        EXPECT_EQ(c.guide != nullptr, GuidePathBeside(c.program, guide, 48));
        EXPECT_EQ(std::u16string(c.guide != nullptr ? c.guide : u""), guide) << "nothing half";
    }
}

TEST(GuideRules, TheCommandSaysWhyTheGuideDidNotShow) {
    EXPECT_EQ(GUIDE_SHOWN, GuideMessageFor(true, true, true));
    EXPECT_EQ(GUIDE_NOT_OPENED, GuideMessageFor(true, true, false));
    EXPECT_EQ(GUIDE_MISSING, GuideMessageFor(true, false, false));
    EXPECT_EQ(GUIDE_MISSING, GuideMessageFor(false, false, false)) << "no path: not found either";
}

}  // namespace
