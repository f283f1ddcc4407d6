// Owners of system handles, so every path out of a function closes them.
#pragma once
#include <windows.h>

#include <cstdint>
#include <utility>

namespace kibolt {

// Keeps the calling thread's last error across a cleanup call, so a failed
// call's error can still be read after the owners on the way out have closed.
class LastErrorKept {
public:
    LastErrorKept() : error_(GetLastError()) {}
    ~LastErrorKept() { SetLastError(error_); }
    LastErrorKept(const LastErrorKept&) = delete;
    LastErrorKept& operator=(const LastErrorKept&) = delete;

private:
    DWORD error_;
};

// An owner of T closed by Close; InvalidValue is the "no handle" value where
// it is not null (-1 for INVALID_HANDLE_VALUE).
template <typename T, auto Close, std::intptr_t InvalidValue = 0>
class UniqueAny {
public:
    static T Invalid() { return reinterpret_cast<T>(InvalidValue); }

    UniqueAny() = default;
    explicit UniqueAny(T value) : value_(value) {}
    ~UniqueAny() { Reset(); }
    UniqueAny(UniqueAny&& other) noexcept : value_(other.Release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;

    T Get() const { return value_; }
    bool Valid() const { return value_ != Invalid(); }
    explicit operator bool() const { return Valid(); }
    T Release() { return std::exchange(value_, Invalid()); }
    void Reset(T value = Invalid()) {
        if (Valid()) {
            LastErrorKept kept;
            Close(value_);
        }
        value_ = value;
    }
    // For a call that fills in a handle: what was held is closed first.
    T* Put() {
        Reset();
        return &value_;
    }

private:
    T value_ = Invalid();
};

using UniqueHandle = UniqueAny<HANDLE, CloseHandle>;
using UniqueFile = UniqueAny<HANDLE, CloseHandle, -1>;
using UniqueFind = UniqueAny<HANDLE, FindClose, -1>;
using UniqueIcon = UniqueAny<HICON, DestroyIcon>;
using UniqueMenu = UniqueAny<HMENU, DestroyMenu>;
using UniqueGlobal = UniqueAny<HGLOBAL, GlobalFree>;
using UniqueLocal = UniqueAny<HLOCAL, LocalFree>;  // e.g. a buffer FormatMessage allocated
using UniqueHook = UniqueAny<HHOOK, UnhookWindowsHookEx>;
using UniqueWinEventHook = UniqueAny<HWINEVENTHOOK, UnhookWinEvent>;

// GDI objects.
using UniqueBrush = UniqueAny<HBRUSH, DeleteObject>;
using UniquePen = UniqueAny<HPEN, DeleteObject>;
using UniqueFont = UniqueAny<HFONT, DeleteObject>;
using UniqueBitmap = UniqueAny<HBITMAP, DeleteObject>;  // also a DIB section
using UniqueMemoryDc = UniqueAny<HDC, DeleteDC>;        // from CreateCompatibleDC

// An object selected into a DC for the life of the scope; what was selected
// before is selected again at its end.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (old_) {
            LastErrorKept kept;
            SelectObject(dc_, old_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// BeginPaint and EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDc() {
        LastErrorKept kept;
        EndPaint(window_, &paint_);
    }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const { return dc_; }
    const PAINTSTRUCT& Paint() const { return paint_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// GetDC and ReleaseDC (a null window gives the screen's DC).
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) {
            LastErrorKept kept;
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

}  // namespace kibolt
