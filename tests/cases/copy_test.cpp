// The copy cases, run on whichever runner this is built into.
#include <algorithm>

#include "tests/cases/copy_cases.h"

namespace {

const WCHAR* const Before = TEXT("what the clipboard held before");

// Any process may read the block to its GlobalSize: past the text there are
// only zeros, and once shrunk hardly any (a heap may round a size up).
void ExpectNothingPastTheText(const Text& copied, bool shrunk)
{
    std::optional<std::vector<BYTE>> block = harness::ClipboardBlock();
    ASSERT_TRUE(block.has_value());
    const size_t textBytes = copied.size() * sizeof(WCHAR);
    ASSERT_GE(block->size(), textBytes + sizeof(WCHAR)) << "no room for the terminator";
    EXPECT_EQ((size_t)std::count(block->begin() + (long)textBytes, block->end(), 0), block->size() - textBytes)
        << "stale bytes past the text";
    if (shrunk)
        EXPECT_LT(block->size(), textBytes + 16) << "the block was not shrunk to the text";
    else
        EXPECT_GT(block->size(), textBytes + 16) << "a block that could not shrink";
}

// What the cursor's row holds: the prompt the typing follows.
int PromptLength(const CopyCase& c)
{
    for (const auto& line : c.lines) {
        if (line.first == c.cursor)
            return (int)line.second.size();
    }
    return 0;
}

class CopyTest : public CaseTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(CopyTest, CopiesOneCommandsOutput)
{
    const CopyCase& c = GetParam();
    StartPlugin(TEXT("24.0"));
    ASSERT_EQ(RunCommand(c.typed ? TEXT("/C:Ctrl-Alt-C /T:Y") : TEXT("/C:Ctrl-Alt-C")), 0);
    harness::LayConsole(c.columns, c.rows, 0, c.top, 80, 30);
    for (const auto& line : c.lines)
        harness::WriteCharacters(0, line.first, line.second);
    if (c.doubleWidthRow >= 0) {
        harness::SetAttribute(0, c.doubleWidthRow, 0x07 | 0x0100); // leading half
        harness::SetAttribute(1, c.doubleWidthRow, 0x07 | 0x0200); // trailing half
    }
    for (int row : c.tags)
        EnterLine(row);
    harness::SetCursor(0, c.cursor);
    if (c.typed)
        TypeLine(c.cursor, PromptLength(c), *c.typed, c.columns, c.scrolling, c.rows);
    harness::SetClipboardText(Before);
    if (c.refusal != harness::ClipboardRefusal::None)
        harness::RefuseClipboard(c.refusal);

    harness::HoldModifiers(Ctrl | Alt);
    EXPECT_EQ(PressKey(0x1002E, c.lineRow >= 0 ? c.lineRow : c.cursor).code, 0) << "the copy hotkey is consumed";
    harness::HoldModifiers(NoModifier);

    std::optional<Text> clipboard = harness::ClipboardText();
    ASSERT_TRUE(clipboard.has_value());
    if (c.copied) {
        EXPECT_EQ(clipboard->size(), c.copied->size());
        EXPECT_TRUE(*clipboard == *c.copied) << Printable(clipboard->substr(0, 200));
        ExpectNothingPastTheText(*c.copied, c.refusal != harness::ClipboardRefusal::NoShrink);
    } else {
        EXPECT_EQ(*clipboard, Text(Before)) << "the clipboard keeps what it held";
    }
    EXPECT_EQ(harness::BeepsSinceAsked(), c.copied ? 0 : 1);
    EXPECT_EQ(harness::Window().Top, c.top) << "copying moves nothing";
    harness::ExpectNothingLeftOpen();
}

INSTANTIATE_TEST_SUITE_P(, CopyTest,
                         ::testing::ValuesIn(Runnable(CopyCases(),
                                                      [](const CopyCase& c) {
                                                          return c.refusal == harness::ClipboardRefusal::None ||
                                                                 harness::CanRefuseClipboard();
                                                      })),
                         CaseName<CopyCase>);

} // namespace
