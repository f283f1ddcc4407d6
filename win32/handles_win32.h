// Owners of system handles, so every path out of a function closes them.
#pragma once
#include <windows.h>

#include <utility>

namespace kibolt {

template <typename T, typename Traits>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(UniqueResource&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            Reset();
            value_ = std::exchange(other.value_, Traits::Invalid());
        }
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    T Get() const { return value_; }
    bool Valid() const { return value_ != Traits::Invalid(); }
    explicit operator bool() const { return Valid(); }
    T Release() { return std::exchange(value_, Traits::Invalid()); }
    void Reset(T value = Traits::Invalid()) {
        if (Valid()) Traits::Close(value_);
        value_ = value;
    }

private:
    T value_ = Traits::Invalid();
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static void Close(HICON h) { DestroyIcon(h); }
};
struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static void Close(HMENU h) { DestroyMenu(h); }
};
struct GlobalTraits {
    static HGLOBAL Invalid() { return nullptr; }
    static void Close(HGLOBAL h) { GlobalFree(h); }
};
struct LocalTraits {
    static HLOCAL Invalid() { return nullptr; }
    static void Close(HLOCAL h) { LocalFree(h); }
};
struct HookTraits {
    static HHOOK Invalid() { return nullptr; }
    static void Close(HHOOK h) { UnhookWindowsHookEx(h); }
};
struct WinEventHookTraits {
    static HWINEVENTHOOK Invalid() { return nullptr; }
    static void Close(HWINEVENTHOOK h) { UnhookWinEvent(h); }
};

using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;
using UniqueFile = UniqueResource<HANDLE, FileHandleTraits>;
using UniqueFind = UniqueResource<HANDLE, FindHandleTraits>;
using UniqueIcon = UniqueResource<HICON, IconTraits>;
using UniqueMenu = UniqueResource<HMENU, MenuTraits>;
using UniqueGlobal = UniqueResource<HGLOBAL, GlobalTraits>;
using UniqueLocal = UniqueResource<HLOCAL, LocalTraits>;  // e.g. a buffer FormatMessage allocated
using UniqueHook = UniqueResource<HHOOK, HookTraits>;
using UniqueWinEventHook = UniqueResource<HWINEVENTHOOK, WinEventHookTraits>;

}  // namespace kibolt
