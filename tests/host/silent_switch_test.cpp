#include "launcher/silent_switch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct SwitchCase {
  const char16_t* commandLine;
  bool silent;
};

class SilentSwitchTable : public testing::TestWithParam<SwitchCase> {};

TEST_P(SilentSwitchTable, Scan) {
  const SwitchCase& c = GetParam();
  EXPECT_EQ(ScanSilentSwitch(c.commandLine), c.silent) << std::string(
      c.commandLine, c.commandLine + std::char_traits<char16_t>::length(c.commandLine));
}

// The setup package's own command lines, then the corners around them.
INSTANTIATE_TEST_SUITE_P(
    SetupCommandLines, SilentSwitchTable,
    testing::Values(SwitchCase{u"", false}, SwitchCase{u"\"C:\\dir-s\\setup.exe\" /s", true},
                    SwitchCase{u"\"C:\\dir-s\\setup.exe\"", false},
                    SwitchCase{u"\"C:\\dir-s\\setup.exe", true},
                    SwitchCase{u"C:\\dir-s\\setup.exe", true},
                    SwitchCase{u"setup.exe -silent", false}, SwitchCase{u"setup.exe /sx", false},
                    SwitchCase{u"setup.exe -S1", true}, SwitchCase{u"setup.exe -S2x", true},
                    SwitchCase{u"setup.exe /s:x", true}, SwitchCase{u"setup.exe -", false},
                    SwitchCase{u"a-s", true}));

INSTANTIATE_TEST_SUITE_P(
    Corners, SilentSwitchTable,
    testing::Values(
        // The switch may stand right after the skipped name or at the very start.
        SwitchCase{u"\"setup.exe\"/s", true}, SwitchCase{u"/S", true}, SwitchCase{u"\"\"-s", true},
        // A lone quote is scanned, not skipped; a second quoted part is not skipped.
        SwitchCase{u"\"", false}, SwitchCase{u"\"-s", true},
        SwitchCase{u"\"a\" \"C:\\x-s\\y\"", true},
        // Only '-' and '/' introduce a switch, and the letter must be s.
        SwitchCase{u"setup.exe \\s", false}, SwitchCase{u"setup.exe -t", false},
        SwitchCase{u"setup.exe --s", true}, SwitchCase{u"-/s", true},
        // The first match wins; an earlier near miss does not stop the walk.
        SwitchCase{u"-sa -s", true},
        // Letters are the ASCII ones only: Latin-1 and wider units end a switch.
        SwitchCase{u"/s\u00E9", true}, SwitchCase{u"/s\u0410", true}, SwitchCase{u"/s\uFFFF", true},
        SwitchCase{u"/sZ", false}, SwitchCase{u"/s@", true}, SwitchCase{u"/s[", true},
        SwitchCase{u"/s`", true}, SwitchCase{u"/s{", true}));

// A switch letter at the very end must be judged by the terminator alone:
// nothing behind it may be read. The text sits at the end of its buffer.
TEST(SilentSwitch, ReadsNothingPastTheTerminator) {
  char16_t exact[3] = {u'-', u's', 0};
  EXPECT_TRUE(ScanSilentSwitch(exact));
  char16_t dash[2] = {u'/', 0};
  EXPECT_FALSE(ScanSilentSwitch(dash));
}

// The longest value the environment read can deliver, with the switch last.
TEST(SilentSwitch, FullCapacityText) {
  std::u16string text(kSetupCommandCapacity - 1, u'x');
  text[text.size() - 2] = u'/';
  text[text.size() - 1] = u'S';
  EXPECT_TRUE(ScanSilentSwitch(text.c_str()));
  text[text.size() - 1] = u'x';
  EXPECT_FALSE(ScanSilentSwitch(text.c_str()));
}

}  // namespace
