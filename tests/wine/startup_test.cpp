// The real DLL's start-up boundary: the info record the host reads, the
// shell test that refuses a start, and the version resource Windows shows.
#include <string.h>

#include <string>
#include <vector>

#include "plugin_fixture.h"

namespace {

std::wstring Text(const WCHAR* text)
{
    return text ? std::wstring(text) : std::wstring(L"(null)");
}

// Each test file names its own fixture: CTest entries select tests by suite.
class StartupTest : public PluginTest {};

TEST_F(StartupTest, InfoRecordCarriesNameVersionAndFunctionList)
{
    PluginInfoRecord* info = getPluginInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(Text(info->Name), L"Mirvane");
    EXPECT_EQ(Text(info->Description), L"Mirvane plugin");
    EXPECT_EQ(Text(info->Functions), L"mirvane,*key");
    EXPECT_NE(info->Author, nullptr);
    EXPECT_NE(info->Email, nullptr);
    EXPECT_NE(info->WebPage, nullptr);
    EXPECT_EQ(info->MajorVersion, 1u);
    EXPECT_EQ(info->MinorVersion, 0u);
    EXPECT_EQ(info->BuildNumber, 1u);

    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(info);
    for (int offset = 60; offset < 80; ++offset)
        EXPECT_EQ(bytes[offset], 0) << "reserved byte at offset " << offset;
}

TEST_F(StartupTest, InfoRecordStaysAtOneAddressAcrossStart)
{
    PluginInfoRecord* first = getPluginInfo();
    EXPECT_EQ(getPluginInfo(), first);
    StartPlugin();
    EXPECT_EQ(getPluginInfo(), first);
    EXPECT_EQ(Text(first->Functions), L"mirvane,*key");
}

TEST_F(StartupTest, StartsInAnOrdinaryShell)
{
    EXPECT_EQ(initializePlugin(), 0);
    ASSERT_GE(HostExpandCount(), 1);
    EXPECT_EQ(Text(HostExpandInput(0)), L"%[_transient]%[_pipe]");
    EXPECT_EQ(shutdownPlugin(FALSE), 0);
}

// Everything that reads or moves the console needs one; without the
// terminal wine-run.sh provides, Wine gives the driver none.
TEST(WineHarness, DriverHasAConsoleBehindItsStandardHandles)
{
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(console, INVALID_HANDLE_VALUE) << "no console, error " << GetLastError();
    CONSOLE_SCREEN_BUFFER_INFO info;
    EXPECT_TRUE(GetConsoleScreenBufferInfo(console, &info));
    CloseHandle(console);

    // The driver's report went to a file, but the plug-in's error handle
    // must still be the console's.
    DWORD mode = 0;
    EXPECT_TRUE(GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode));
    EXPECT_TRUE(GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode));
}

struct ShellCase {
    const char* name;
    const WCHAR* transient; // null: the variable does not exist
    const WCHAR* pipe;
};

class RefusedStartTest : public PluginTest, public ::testing::WithParamInterface<ShellCase> {};

TEST_P(RefusedStartTest, RefusesSilentlyAndGoesNoFurther)
{
    HostSetVariable(L"_transient", GetParam().transient);
    HostSetVariable(L"_pipe", GetParam().pipe);

    EXPECT_EQ(initializePlugin(), 1);
    EXPECT_EQ(HostWriteCount(), 0) << "first write: " << ::testing::PrintToString(Text(HostWriteText(0)));
    // Only the shell test was expanded: no version was asked for.
    EXPECT_EQ(HostExpandCount(), 1);
}

const ShellCase kRefusedShells[] = {
    {"PipeShell", L"0", L"1"},
    {"TransientShell", L"1", L"0"},
    {"TransientPipeShell", L"1", L"1"},
    {"ThreeZeros", L"00", L"0"},
    {"SingleZero", L"0", L""},
    {"Empty", L"", L""},
    {"VariablesMissing", nullptr, nullptr},
    {"ZeroThenSpace", L"0", L"0 "},
};

INSTANTIATE_TEST_SUITE_P(Shells, RefusedStartTest, ::testing::ValuesIn(kRefusedShells),
                         [](const ::testing::TestParamInfo<ShellCase>& info) {
                             return std::string(info.param.name);
                         });

class VersionResourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring path = PluginPath();
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        ASSERT_NE(size, 0u) << "no version resource, error " << GetLastError();
        block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    }

    std::wstring String(const WCHAR* name)
    {
        struct Translation {
            WORD language;
            WORD codePage;
        }* translation = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                            reinterpret_cast<void**>(&translation), &length) ||
            length < sizeof(Translation))
            return L"(no translation)";
        WCHAR query[128];
        wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\%s", translation->language,
                  translation->codePage, name);
        WCHAR* value = nullptr;
        if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &length))
            return L"(missing)";
        return std::wstring(value);
    }

    std::vector<unsigned char> block;
};

TEST_F(VersionResourceTest, FixedVersionIs1_0_1_1)
{
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1)) << "file version 1.0";
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(1, 1)) << "file version .1.1";
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1)) << "product version 1.0";
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(1, 1)) << "product version .1.1";
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

TEST_F(VersionResourceTest, NamesTheProduct)
{
    EXPECT_EQ(String(L"ProductName"), L"Mirvane");
    EXPECT_EQ(String(L"FileDescription"), L"Mirvane plugin");
    EXPECT_EQ(String(L"FileVersion"), L"1.0.1.1");
    EXPECT_EQ(String(L"ProductVersion"), L"1.0.1.1");
}

} // namespace
