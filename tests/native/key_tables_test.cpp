// The two key tables: the invariants the name lookups rely on, and the
// hotkey validity test. Every cell's value is a shared case
// (tests/cases/key_cells.h).
#include <cstdint>
#include <string>

#include "hotkeys/key_tables.h"
#include "plugin/text.h"
#include "tests/native/test_support.h"

namespace {

typedef std::u16string Text;

struct TableCase {
    const char* label;
    int extended;
    int rows;
    int columns;
    int aliases;
};

const TableCase Tables[] = {
    {"Classic", 0, 74, 6, 17},
    {"Extended", 1, 72, 7, 25},
};

void PrintTo(const TableCase& c, std::ostream* os)
{
    *os << c.label;
}

class KeyTableTest : public PluginTest, public ::testing::WithParamInterface<TableCase> {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        Startup.useExtendedKeys = GetParam().extended;
    }

    const KeyTable& Table() { return KeyTableInForce(); }
};

TEST_P(KeyTableTest, InForceTableFollowsTheFlag)
{
    const KeyTable& expected = GetParam().extended ? ExtendedKeyTable : ClassicKeyTable;
    EXPECT_EQ(&Table(), &expected);
    EXPECT_EQ(Table().rows, GetParam().rows);
    EXPECT_EQ(Table().columns, GetParam().columns);
    EXPECT_EQ(Table().aliasCount, GetParam().aliases);
}

TEST_P(KeyTableTest, KeyNamesAreDistinctIgnoringAsciiCase)
{
    const KeyTable& t = Table();
    for (int a = 0; a < t.rows; ++a) {
        EXPECT_NE(t.keyName(a)[0], 0) << "row " << a;
        for (int b = a + 1; b < t.rows; ++b)
            EXPECT_FALSE(TextEqualsNoCase(t.keyName(a), t.keyName(b)))
                << Printable(t.keyName(a)) << " rows " << a << ", " << b;
    }
}

TEST_P(KeyTableTest, AliasesAreDistinctAndNeverKeyNames)
{
    const KeyTable& t = Table();
    for (int a = 0; a < t.aliasCount; ++a) {
        for (int b = a + 1; b < t.aliasCount; ++b)
            EXPECT_FALSE(TextEqualsNoCase(t.aliasName(a), t.aliasName(b))) << Printable(t.aliasName(a));
        for (int row = 0; row < t.rows; ++row)
            EXPECT_FALSE(TextEqualsNoCase(t.aliasName(a), t.keyName(row))) << Printable(t.aliasName(a));
    }
}

TEST_P(KeyTableTest, EveryAliasTargetIsAKeyNameAndNoAlias)
{
    const KeyTable& t = Table();
    for (int a = 0; a < t.aliasCount; ++a) {
        int targets = 0;
        for (int row = 0; row < t.rows; ++row)
            targets += Text(t.aliasTarget(a)) == Text(t.keyName(row));
        EXPECT_EQ(targets, 1) << Printable(t.aliasName(a)) << " -> " << Printable(t.aliasTarget(a));
        for (int b = 0; b < t.aliasCount; ++b)
            EXPECT_FALSE(TextEqualsNoCase(t.aliasTarget(a), t.aliasName(b))) << Printable(t.aliasTarget(a));
    }
}

INSTANTIATE_TEST_SUITE_P(BothTables, KeyTableTest, ::testing::ValuesIn(Tables),
                         [](const ::testing::TestParamInfo<TableCase>& info) { return info.param.label; });

struct ValidityCase {
    const char* label;
    KeyCode code;
    int classic;
    int extended;
};

const ValidityCase ValidityCases[] = {
    {"Zero", 0, 0, 0},
    {"InvalidMarker", KeyCodeInvalid, 0, 0},
    {"NotAllowedMarker", KeyCodeNotAllowed, 0, 0},
    {"MostNegative", INT32_MIN, 0, 0},
    {"DefaultBack", 0x5008D, 1, 1},
    {"DefaultForward", 0x50091, 1, 1},
    {"CtrlAltShiftUp", 0x7008D, 0, 1},
    {"CtrlNumMinus", 0x1004A, 1, 0},
    {"CtrlShiftNumPadPair", 0x3004A, 1, 0},
    {"LastClassicCell", 0x5004E, 1, 0},
    {"LastExtendedCell", 0x70034, 0, 1},
    {"CtrlAltShiftB", 0x7003E, 0, 1},
    {"CtrlAltShiftBMisread", 0x70030, 0, 0},
    {"CtrlEnter", 0xC0D, 0, 1},
    {"CtrlBackspace", 0x7F, 1, 1},
    {"Bit19Set", 0x5008D | 0x80000, 0, 0},
    {"Bit28Set", 0x5008D | 0x10000000, 0, 0},
    {"HostCodeWithoutFlags", 0x8D, 0, 0},
};

void PrintTo(const ValidityCase& c, std::ostream* os)
{
    *os << c.label;
}

class IsValidHotkeyTest : public PluginTest, public ::testing::WithParamInterface<ValidityCase> {};

TEST_P(IsValidHotkeyTest, UnderEachTable)
{
    Startup.useExtendedKeys = 0;
    EXPECT_EQ(IsValidHotkey(GetParam().code), GetParam().classic) << "classic";
    Startup.useExtendedKeys = 1;
    EXPECT_EQ(IsValidHotkey(GetParam().code), GetParam().extended) << "extended";
}

INSTANTIATE_TEST_SUITE_P(Codes, IsValidHotkeyTest, ::testing::ValuesIn(ValidityCases),
                         [](const ::testing::TestParamInfo<ValidityCase>& info) { return info.param.label; });

} // namespace
