// A DLL lying beside the program, as in a downloads folder, is never loaded
// in place of a system one: the tests start as the program does.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

namespace kibolt {
namespace {

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

TEST(DllSearchTest, ADllBesideTheProgramIsNotLoadedByName) {
    // A real DLL (a copy of the hook library) under a name only it has.
    const std::wstring folder = ProgramFolder();
    const std::wstring planted = folder + L"kibolt_planted_test.dll";
    ASSERT_TRUE(CopyFileW((folder + L"kibolt.dll").c_str(), planted.c_str(), FALSE)) << "kibolt.dll beside the tests";

    // It is there to be found when the program's folder is asked for ...
    HMODULE found = LoadLibraryExW(L"kibolt_planted_test.dll", nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
    EXPECT_NE(found, nullptr) << "error " << GetLastError();
    if (found) FreeLibrary(found);

    // ... but a plain load by name, as the system does on our behalf, looks in the system folder only.
    HMODULE byName = LoadLibraryW(L"kibolt_planted_test.dll");
    EXPECT_EQ(byName, nullptr);
    if (byName) FreeLibrary(byName);
    HMODULE system = LoadLibraryW(L"version.dll");
    EXPECT_NE(system, nullptr) << "a system library still loads by name";
    if (system) FreeLibrary(system);

    EXPECT_TRUE(DeleteFileW(planted.c_str()));
}

}  // namespace
}  // namespace kibolt
