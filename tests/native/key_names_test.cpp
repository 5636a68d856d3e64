// Key names to codes and back under both tables, and the hotkey listing as
// the host sees it.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "hotkeys/key_names.h"
#include "hotkeys/key_tables.h"
#include "plugin/text.h"
#include "tests/native/test_support.h"

namespace {

typedef std::u16string Text;

KeyCode ParseUnder(int extended, const Text& text)
{
    Startup.useExtendedKeys = extended;
    return KeyNameToCode(text.c_str());
}

// ---------------------------------------------------------------- parsing

struct ParseCase {
    const char* label;
    Text text;
    KeyCode classic;
    KeyCode extended;
};

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << c.label;
}

class KeyNameToCodeTest : public PluginTest, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(KeyNameToCodeTest, UnderEachTable)
{
    const ParseCase& c = GetParam();
    EXPECT_EQ(ParseUnder(0, c.text), c.classic) << "classic, text " << Printable(c.text);
    EXPECT_EQ(ParseUnder(1, c.text), c.extended) << "extended, text " << Printable(c.text);
}

std::string CaseName(const ::testing::TestParamInfo<ParseCase>& info)
{
    return info.param.label;
}

const ParseCase ModifierCases[] = {
    {"LowerCaseWords", u"ctrl-alt-up", 0x5008D, 0x5008D},
    {"WordsInEitherOrder", u"Alt-Ctrl-Up", 0x5008D, 0x5008D},
    {"Control", u"Control-Alt-Up", 0x5008D, 0x5008D},
    {"Ctl", u"Ctl-Alt-Up", 0x5008D, 0x5008D},
    {"SingleLetters", u"c-a-Up", 0x5008D, 0x5008D},
    {"RepeatedWordChangesNothing", u"Ctrl-Ctrl-Up", 0x1008D, 0x1008D},
    {"CtrlAltShiftOnlyExtended", u"Ctrl-Alt-Shift-Up", 0, 0x7008D},
    {"LettersForAllThree", u"s-c-a-Up", 0, 0x7008D},
    {"ShiftAltHasNoColumn", u"Shift-Alt-Up", 0, 0},
    {"AAsAlt", u"A-B", 0x10030, 0x10030},
    {"SAsShift", u"s-F1", 0x10054, 0x10054},
    {"ShiftCtrlIsCtrlShift", u"Shift-Ctrl-Left", 0x300CC, 0x300CC},
    {"KeyNameBeforeDash", u"F1-X", 0, 0},
    {"UnknownWordFirst", u"x-Ctrl-A", 0, 0},
    {"CtrlLetter", u"Ctrl-A", 0x1, 0x1},
    {"BareLetterNotAllowed", u"A", -2, -2},
    {"CtrlCInvalid", u"Ctrl-C", -1, -1},
    {"CtrlMDiffers", u"Ctrl-M", -1, 0xD},
    {"CtrlDigitDiffers", u"Ctrl-1", -1, 0xE2},
};
INSTANTIATE_TEST_SUITE_P(Modifiers, KeyNameToCodeTest, ::testing::ValuesIn(ModifierCases), CaseName);

const ParseCase AliasCases[] = {
    {"AliasAnyCase", u"ctrl-pagedown", 0x10076, 0x10076},
    {"FirstAlias", u"Ctrl-PageUp", 0x10084, 0x10084},
    {"BackspaceAndBkSp", u"Ctrl-Backspace", 0x7F, 0x7F},
    {"BkSpAndBackspace", u"Ctrl-BkSp", 0x7F, 0x7F},
    {"BackquoteOnlyClassic", u"Alt-Backquote", 0x10029, 0},
    {"GraveEither", u"Alt-Grave", 0x10029, 0x10860},
    {"EqualsEither", u"Alt-Equals", 0x10083, 0x10083},
    {"MinusEither", u"Alt-Minus", 0x10082, 0x108BD},
    {"SlashOnlyClassic", u"Alt-Slash", 0x10035, 0},
    {"SlashCharacter", u"Ctrl-/", -1, 0x835},
    {"DotEither", u"Ctrl-Dot", -1, 0x834},
    {"MultiplyOnlyExtended", u"Ctrl-Multiply", 0, 0x10037},
    {"EnterOnlyExtended", u"Ctrl-Enter", 0, 0xC0D},
    {"BareEnterNotAllowed", u"Enter", 0, -2},
    {"ShiftEnter", u"Shift-Enter", 0, 0x80D},
    {"HalfSign", u"Ctrl-\u00BD", 0, 0x8BD},
    {"CapitalUCircumflex", u"Ctrl-\u00DB", 0, 0x8DB},
    {"CapitalUDiaeresis", u"Ctrl-\u00DC", 0, 0x8DC},
    {"CtrlShiftNumPlus", u"Ctrl-Shift-Num+", 0x3004A, 0},
};
INSTANTIATE_TEST_SUITE_P(Aliases, KeyNameToCodeTest, ::testing::ValuesIn(AliasCases), CaseName);

const ParseCase CaseFoldingCases[] = {
    {"UpperCase", u"CTRL-ALT-UP", 0x5008D, 0x5008D},
    {"MixedCase", u"cTrL-aLt-uP", 0x5008D, 0x5008D},
    {"UpperCaseAlias", u"CONTROL-ALT-BACKSPACE", 0x5000E, 0x5000E},
    // Lower-case U+00DB: only A-Z fold, so it names nothing.
    {"LatinLetterDoesNotFold", u"Ctrl-\u00FB", 0, 0},
    {"KelvinSignIsNotK", u"Ctrl-\u212A", 0, 0},
    {"FullwidthModifierIsNotAscii", u"\uFF23trl-Up", 0, 0},
};
INSTANTIATE_TEST_SUITE_P(CaseFolding, KeyNameToCodeTest, ::testing::ValuesIn(CaseFoldingCases), CaseName);

const ParseCase MalformedCases[] = {
    {"Empty", u"", 0, 0},
    {"TrailingDash", u"Ctrl-", 0, 0},
    {"ModifierAlone", u"Ctrl", 0, 0},
    {"TwoDashes", u"--", 0, 0},
    {"DashAfterKey", u"Ctrl-X-", 0, 0},
    {"PlusSeparator", u"Ctrl+Up", 0, 0},
    {"LoneDashIsAKey", u"-", -2, -2},
    {"AltDash", u"Alt--", 0x10082, 0x108BD},
    {"CtrlDash", u"Ctrl--", -1, 0x8BD},
    {"AltThreeDashes", u"Alt---", 0, 0},
    {"NumMinusCannotBeTyped", u"Num-", 0, 0},
    {"CtrlNumMinusCannotBeTyped", u"Ctrl-Num-", 0, 0},
    {"SpaceAfterDash", u"Ctrl- Up", 0, 0},
    {"LeadingSpace", u" Ctrl-Up", 0, 0},
    {"TrailingSpace", u"Ctrl-Up ", 0, 0},
};
INSTANTIATE_TEST_SUITE_P(Malformed, KeyNameToCodeTest, ::testing::ValuesIn(MalformedCases), CaseName);

class KeyNameLimitsTest : public PluginTest {};

TEST_F(KeyNameLimitsTest, NullTextNamesNothing)
{
    Startup.useExtendedKeys = 1;
    EXPECT_EQ(KeyNameToCode(nullptr), 0);
}

// A token keeps 1023 units; the rest is dropped but the text is still read
// to its end, so a tail that happens to spell a key is not taken for one.
TEST_F(KeyNameLimitsTest, OverLongTokensMatchNothing)
{
    const struct {
        const char* label;
        Text text;
    } cases[] = {
        {"key token of 1023 units", u"Ctrl-" + Text(1023, u'x')},
        {"key name beyond the cap", u"Ctrl-" + Text(1023, u'x') + u"Up"},
        {"modifier beyond the cap", Text(1023, u'x') + u"Ctrl-Up"},
        {"long modifier before a key", Text(5000, u'a') + u"-Up"},
        {"long key token", u"Alt-" + Text(5000, u'B')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseUnder(0, c.text), 0) << c.label;
        EXPECT_EQ(ParseUnder(1, c.text), 0) << c.label;
    }
}

TEST_F(KeyNameLimitsTest, CapIsPerTokenNotPerText)
{
    Text modifiers;
    for (int i = 0; i < 400; ++i)
        modifiers += u"Ctrl-";
    EXPECT_EQ(ParseUnder(1, modifiers + u"Up"), 0x1008D);
}

// ---------------------------------------------------------------- naming

struct NameCase {
    const char* label;
    int extended;
    KeyCode code;
    Text name;
    int result;
};

const NameCase NameCases[] = {
    {"NoneClassic", 0, 0, u"None", 0},
    {"NoneExtended", 1, 0, u"None", 0},
    {"DefaultBackClassic", 0, 0x5008D, u"Ctrl-Alt-Up", 0},
    {"DefaultBackExtended", 1, 0x5008D, u"Ctrl-Alt-Up", 0},
    {"CtrlAltShiftUpExtended", 1, 0x7008D, u"Ctrl-Alt-Shift-Up", 0},
    {"CtrlAltShiftUpClassic", 0, 0x7008D, u"(unknown)", -1},
    {"CtrlNumMinusClassic", 0, 0x1004A, u"Ctrl-Num-", 0},
    {"CtrlNumMinusExtended", 1, 0x1004A, u"(unknown)", -1},
    {"DuplicateTakesLastRow", 0, 0x3004A, u"Ctrl-Shift-Num+", 0},
    {"LongestName", 1, 0x7000E, u"Ctrl-Alt-Shift-Backspace", 0},
    {"AltPlusClassic", 0, 0x10083, u"Alt-=", 0},
    {"AltPlusExtended", 1, 0x10083, u"Alt-Plus", 0},
    {"InvalidMarker", 0, KeyCodeInvalid, u"(unknown)", -1},
    {"NotAllowedMarker", 1, KeyCodeNotAllowed, u"(unknown)", -1},
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << c.label;
}

class KeyCodeToNameTest : public PluginTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(KeyCodeToNameTest, WritesTheName)
{
    const NameCase& c = GetParam();
    Startup.useExtendedKeys = c.extended;
    WCHAR name[TextBufferLength];
    std::fill(name, name + TextBufferLength, u'#');
    EXPECT_EQ(KeyCodeToName(c.code, name, TextBufferLength) ? 0 : -1, c.result);
    EXPECT_EQ(Text(name), c.name);
}

INSTANTIATE_TEST_SUITE_P(Codes, KeyCodeToNameTest, ::testing::ValuesIn(NameCases),
                         [](const ::testing::TestParamInfo<NameCase>& info) { return info.param.label; });

} // namespace
