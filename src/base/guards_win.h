// Scope guards for what the Win32 layer borrows: a GDI object it created, an
// object selected into a DC, a DC's text colour and background mode, a paint
// DC, a kernel handle and a malloc'ed block. Each gives back at scope exit, so
// no early return can leak one or leave a DC changed. Any thread.
#pragma once
#include <windows.h>

#include <cstdlib>

// Deletes a GDI object at scope exit; declare it before selecting the object,
// so that the selection is undone first.
class AutoDeleteObject {
public:
    explicit AutoDeleteObject(HGDIOBJ object) : object_(object) {}
    ~AutoDeleteObject() {
        if (object_) DeleteObject(object_);
    }
    AutoDeleteObject(const AutoDeleteObject&) = delete;
    AutoDeleteObject& operator=(const AutoDeleteObject&) = delete;

private:
    HGDIOBJ object_;
};

// Selects an object into a DC and puts the previous one back at scope exit.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelectObject() {
        if (previous_) SelectObject(dc_, previous_);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Text drawn in `colour` over a transparent background until scope exit, when
// the DC's own colour and mode come back.
class ScopedTextStyle {
public:
    ScopedTextStyle(HDC dc, COLORREF colour)
        : dc_(dc), mode_(SetBkMode(dc, TRANSPARENT)), colour_(SetTextColor(dc, colour)) {}
    ~ScopedTextStyle() {
        SetTextColor(dc_, colour_);
        SetBkMode(dc_, mode_);
    }
    ScopedTextStyle(const ScopedTextStyle&) = delete;
    ScopedTextStyle& operator=(const ScopedTextStyle&) = delete;

private:
    HDC dc_;
    int mode_;
    COLORREF colour_;
};

// BeginPaint now, EndPaint at scope exit.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~ScopedPaint() { EndPaint(window_, &paint_); }
    HDC dc() const { return dc_; }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;

private:
    HWND window_;
    HDC dc_;
    PAINTSTRUCT paint_;
};

// Closes a kernel handle at scope exit; null and INVALID_HANDLE_VALUE are
// left alone.
class AutoCloseHandle {
public:
    explicit AutoCloseHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~AutoCloseHandle() { reset(); }
    HANDLE get() const { return handle_; }
    // Closes the handle now (and takes `handle` in its place).
    void reset(HANDLE handle = nullptr) {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = handle;
    }
    AutoCloseHandle(const AutoCloseHandle&) = delete;
    AutoCloseHandle& operator=(const AutoCloseHandle&) = delete;

private:
    HANDLE handle_;
};

// Frees a malloc'ed block at scope exit.
template <typename T>
class AutoFree {
public:
    explicit AutoFree(T* block) : block_(block) {}
    ~AutoFree() { free(block_); }
    T* get() const { return block_; }
    explicit operator bool() const { return block_ != nullptr; }
    AutoFree(const AutoFree&) = delete;
    AutoFree& operator=(const AutoFree&) = delete;

private:
    T* block_;
};
