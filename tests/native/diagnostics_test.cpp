#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "host/exports.h"
#include "plugin/diagnostics.h"
#include "plugin/help.h"
#include "plugin/state.h"
#include "plugin/text.h"
#include "test_support.h"

namespace {

typedef std::u16string Text;
typedef HostWrite Write;

class DiagnosticsTest : public PluginTest {};

TEST_F(DiagnosticsTest, ErrorPrefix)
{
    struct Case {
        const char16_t* batch;
        const char16_t* batchName;
        Writes writes;
    };
    const Write plain{HostStderr, u"Mirvane plugin: "};
    const Case cases[] = {
        {u"0", u"ignored.btm", {plain}},
        {u"1", u"C:\\jobs\\nightly.btm", {plain, {HostStderr, u"C:\\jobs\\nightly.btm [12]  "}}},
        // Names are text, never a format.
        {u"2", u"C:\\100%.btm", {plain, {HostStderr, u"C:\\100%.btm [12]  "}}},
        {u"1", u"a%%b.bat", {plain, {HostStderr, u"a%%b.bat [12]  "}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(Text(c.batchName)));
        HostReset();
        HostSetVariable(u"_batch", c.batch);
        HostSetVariable(u"_batchname", c.batchName);
        HostSetVariable(u"_batchline", u"12");

        WriteErrorPrefix();
        EXPECT_EQ(HostWrites(), c.writes);
        std::vector<Text> expansions;
        for (int i = 0; i < HostExpandCount(); ++i)
            expansions.push_back(HostExpandInput(i));
        std::vector<Text> expected = {u"%_batch", u"%_batchname [%_batchline]  "};
        expected.resize(c.writes.size());
        EXPECT_EQ(expansions, expected);
    }
}

// Batch variables are untrusted text of any length, and a host may fill the
// 8192 units to the brim without a terminator: the prefix writes at most
// 8191 of them and reads nothing past the buffer. An empty "_batch" does not
// begin with "0", so it counts as inside a batch file.
TEST_F(DiagnosticsTest, ErrorPrefixWithinAFullBuffer)
{
    struct Case {
        std::string name;
        Text batch, batchName;
        bool namePrinted;
    };
    std::vector<Case> cases = {
        {"empty _batch", u"", u"C:\\b.btm", true},
        {"_batch 0 then 9000 more", u"0" + Text(9000, u'x'), u"C:\\b.btm", false},
        {"_batch 1 then 9000 more", u"1" + Text(9000, u'x'), u"C:\\b.btm", true},
    };
    for (size_t length : {8185, 8191, 8192, 20000}) {
        Text name(length, u'n');
        name[0] = u'%'; // text, never a format
        cases.push_back({"_batchname of " + std::to_string(length), u"1", name, true});
    }
    const Write plain{HostStderr, u"Mirvane plugin: "};
    for (int unterminated = 0; unterminated <= 1; ++unterminated) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name + (unterminated ? ", unterminated" : ""));
            HostReset();
            HostSetExpandCapacity(BatchPrefixLength);
            HostSetExpandUnterminated(unterminated);
            HostSetVariable(u"_batch", c.batch.c_str());
            HostSetVariable(u"_batchname", c.batchName.c_str());
            HostSetVariable(u"_batchline", u"12");

            WriteErrorPrefix();
            Writes expected = {plain};
            if (c.namePrinted)
                expected.push_back({HostStderr, (c.batchName + u" [12]  ").substr(0, 8191)});
            Writes writes = HostWrites();
            ASSERT_EQ(writes.size(), expected.size());
            for (size_t i = 0; i < writes.size(); ++i) {
                EXPECT_EQ(writes[i].channel, expected[i].channel);
                EXPECT_TRUE(writes[i].text == expected[i].text)
                    << "write " << i << ": " << writes[i].text.size() << " units, "
                    << expected[i].text.size() << " expected";
            }
        }
    }
}

TEST_F(DiagnosticsTest, FormatSystemError)
{
    struct Case {
        DWORD code;
        const char16_t* systemText; // installed in the stand-in when not null
        const char16_t* expected;
        bool systemFails = false;
    };
    const Case cases[] = {
        {0xFFFFFFFF, nullptr, u"Unknown error"},
        {5, nullptr, u"Access is denied."},
        {1450, u"Out of quota. \t\u00A0\u3000\r\n", u"Out of quota."},
        {1451, u"  two  words\r\n", u"  two  words"},
        {1452, u" \r\n", u""},
        {1236, nullptr, u"Error 1236"},
        {0x80070005, nullptr, u"Error -2147024891"},
        {87, nullptr, u"Error 87", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        FreshProcess();
        if (c.systemText)
            standin::SetSystemMessage(c.code, c.systemText);
        if (c.systemFails)
            standin::FailCall(standin::Api::FormatMessageW);
        WCHAR buffer[TextBufferLength];
        std::fill(std::begin(buffer), std::end(buffer), u'#');

        FormatSystemError(c.code, buffer, TextBufferLength);
        EXPECT_EQ(Text(buffer), c.expected);
    }
}

// The box, its owner and its title; which names are the plug-in's is a
// shared case (tests/cases/startup_cases.h).
TEST_F(DiagnosticsTest, HelpShowsTheHelpTextInABox)
{
    const HWND foreground = (HWND)(uintptr_t)0x5150;
    standin::SetForegroundWindowHandle(foreground);
    Text name = u"Mirvane";
    EXPECT_EQ(Help(&name[0]), 1);
    std::vector<standin::MessageBoxCall> boxes = standin::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, foreground);
    EXPECT_EQ(boxes[0].caption, u"Mirvane Plugin Help");
    EXPECT_EQ(boxes[0].text, Text(HelpText));
    EXPECT_EQ(boxes[0].type, (UINT)MB_OK);
}

TEST_F(DiagnosticsTest, NullPointersTouchNothing)
{
    WCHAR buffer[TextBufferLength] = {u'#'};
    Text name(u"mirvane");
    EXPECT_EQ(Help(nullptr), 0);
    EXPECT_EQ(Usage(nullptr, buffer), 0);
    EXPECT_EQ(Usage(&name[0], nullptr), 0);
    EXPECT_EQ(buffer[0], u'#');
    EXPECT_TRUE(standin::CallLog().empty());
}

} // namespace
