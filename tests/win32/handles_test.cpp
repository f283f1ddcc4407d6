// The handle owners: a failed call's error survives the owners closing on the
// way out, Put() hands a call the slot to fill, and a selected GDI object is
// selected out again at the end of its scope.
#include <windows.h>

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "win32/handles_win32.h"

namespace kibolt {
namespace {

// An event protected from closing: closing it fails and sets an error.
HANDLE UnclosableEvent() {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetHandleInformation(event, HANDLE_FLAG_PROTECT_FROM_CLOSE, HANDLE_FLAG_PROTECT_FROM_CLOSE);
    // The close the owners make must itself set an error for the test to mean anything.
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(CloseHandle(event));
    EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    return event;
}

struct CloseCase {
    const char* name;
    void (*close)(std::optional<UniqueHandle>& owner);
};

TEST(HandlesTest, AFailedCallsErrorSurvivesTheOwnersClose) {
    const CloseCase cases[] = {
        {"destructor", [](std::optional<UniqueHandle>& owner) { owner.reset(); }},
        {"Reset", [](std::optional<UniqueHandle>& owner) { owner->Reset(); }},
        {"move assignment", [](std::optional<UniqueHandle>& owner) { *owner = UniqueHandle(); }},
        {"Put", [](std::optional<UniqueHandle>& owner) { owner->Put(); }},
    };
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HANDLE event = UnclosableEvent();
        std::optional<UniqueHandle> owner(event);
        // A call fails while the owner holds its handle; the owner closes before the error is read.
        const UniqueFile missing(
            CreateFileW(L"C:\\kibolt no such folder\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(missing);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
        c.close(owner);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
        SetHandleInformation(event, HANDLE_FLAG_PROTECT_FROM_CLOSE, 0);
        EXPECT_TRUE(CloseHandle(event));
    }
}

TEST(HandlesTest, PutClosesWhatWasHeldAndTakesWhatTheCallFills) {
    const std::wstring name = L"KiboltPutTest" + std::to_wstring(GetCurrentProcessId());
    UniqueHandle handle(CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    ASSERT_TRUE(handle);
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), handle.Put(), 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    EXPECT_EQ(GetProcessId(handle.Get()), GetCurrentProcessId());
    // The event's only handle was closed, so it is gone.
    const UniqueHandle again(OpenEventW(SYNCHRONIZE, FALSE, name.c_str()));
    EXPECT_FALSE(again);
}

TEST(HandlesTest, ASelectedObjectIsSelectedOutAtTheEndOfItsScope) {
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    const UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    const UniqueBitmap bitmap(CreateCompatibleBitmap(dc.Get(), 4, 4));
    ASSERT_TRUE(brush && bitmap);
    const HGDIOBJ oldBrush = GetCurrentObject(dc.Get(), OBJ_BRUSH);
    const HGDIOBJ oldBitmap = GetCurrentObject(dc.Get(), OBJ_BITMAP);
    {
        const SelectedObject selectedBrush(dc.Get(), brush.Get());
        const SelectedObject selectedBitmap(dc.Get(), bitmap.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), bitmap.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), oldBrush);
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), oldBitmap);
}

}  // namespace
}  // namespace kibolt
