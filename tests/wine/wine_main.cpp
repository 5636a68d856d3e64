// The driver's entry. Under wine-run.sh the console belongs to the code under
// test, so the report goes to the file MIRVANE_TEST_OUTPUT names instead.
#include <windows.h>

#include <io.h>
#include <stdio.h>
#include <stdlib.h>

#include <gtest/gtest.h>


namespace {

HANDLE KeepStandardHandle(DWORD which)
{
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetStdHandle(which), GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    return copy;
}

// The C runtime's stdout and stderr move to the file; the process's standard
// handles stay the console's, because the plug-in writes its errors there and
// the stand-in host tells the channels apart by them. Reopening the streams
// closes the originals, so copies are put back.
bool RedirectReport(const char* path)
{
    HANDLE output = KeepStandardHandle(STD_OUTPUT_HANDLE);
    HANDLE error = KeepStandardHandle(STD_ERROR_HANDLE);
    if (!freopen(path, "w", stdout))
        return false;
    _dup2(_fileno(stdout), _fileno(stderr));
    setvbuf(stdout, nullptr, _IONBF, 0);
    setvbuf(stderr, nullptr, _IONBF, 0);
    SetStdHandle(STD_OUTPUT_HANDLE, output);
    SetStdHandle(STD_ERROR_HANDLE, error);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const char* report = getenv("MIRVANE_TEST_OUTPUT");
    if (report && *report && !RedirectReport(report))
        return 3;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
