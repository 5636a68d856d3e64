#include "plugin/text.h"
#include "test_support.h"

namespace {

TEST(TextTest, DecimalParsingMatchesA32BitWcstoul)
{
    struct Case {
        const char16_t* text;
        uint32_t value;
        int rangeError;
    } cases[] = {
        {u"24.0", 24, 0},
        {u"  \t7", 7, 0},
        {u"\u00A042", 42, 0}, // no-break space is whitespace here, unlike glibc's
        {u"+5", 5, 0},
        {u"-24", 4294967272u, 0},
        {u"4294967295", 4294967295u, 0},
        {u"4294967296", 4294967295u, 1},
        {u"-4294967296", 4294967295u, 1},
        {u"99999999999999999999999", 4294967295u, 1},
        {u"", 0, 0},
        {u"x1", 0, 0},
        {u"- 1", 0, 0},
    };
    for (const Case& c : cases) {
        bool rangeError = true;
        EXPECT_EQ(ParseDecimalU32((const WCHAR*)c.text, &rangeError), c.value) << Printable(c.text);
        EXPECT_EQ(rangeError, c.rangeError != 0) << Printable(c.text);
    }
}

TEST(TextTest, CharacterClassesAreFixed)
{
    for (WCHAR c : std::initializer_list<WCHAR>{0x09, 0x0A, 0x0D, 0x20, 0xA0, 0x3000, 0x2028})
        EXPECT_TRUE(IsSpaceChar(c)) << c;
    for (WCHAR c : std::initializer_list<WCHAR>{0x08, 0x0E, 0x85, 0x41, 0x200B, 0xFEFF})
        EXPECT_FALSE(IsSpaceChar(c)) << c;
    for (WCHAR c : std::initializer_list<WCHAR>{'A', 'z', 0xC0, 0xD6, 0xD8, 0xFF, 0x0100, 0x0416})
        EXPECT_TRUE(IsAlphaChar(c)) << c;
    for (WCHAR c : std::initializer_list<WCHAR>{'0', ':', '=', 0xD7, 0xF7, 0xAA, 0xBF, 0x2019})
        EXPECT_FALSE(IsAlphaChar(c)) << c;
}

TEST(TextTest, CaseFoldingTouchesOnlyAsciiLetters)
{
    EXPECT_TRUE(TextEqualsNoCase(u"MirVANE", u"mirvane"));
    EXPECT_FALSE(TextEqualsNoCase(u"\u00FB", u"\u00DB"));
    EXPECT_FALSE(TextEqualsNoCase(u"abc", u"ab"));
    WCHAR text[] = u"/b:ctrl-\u00E4[z]";
    TextUpperInPlace(text);
    EXPECT_EQ(std::u16string(text), u"/B:CTRL-\u00E4[Z]");
}

TEST(TextTest, BoundedCopiesAlwaysTerminate)
{
    WCHAR buffer[6];
    TextCopy(buffer, 6, u"abcdefgh");
    EXPECT_EQ(std::u16string(buffer), u"abcde");
    TextCopy(buffer, 6, u"ab");
    TextAppend(buffer, 6, u"cdefgh");
    EXPECT_EQ(std::u16string(buffer), u"abcde");
    TextAppend(buffer, 6, u"x");
    EXPECT_EQ(std::u16string(buffer), u"abcde");
    TextCopy(buffer, 1, u"abc");
    EXPECT_EQ(buffer[0], 0);
}

} // namespace
