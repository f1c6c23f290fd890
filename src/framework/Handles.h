// Owners for Win32 handles (one move-only template, one traits type per kind of handle), for
// COM pointers, and scoped guards for device contexts and GDI selections. Borrowing code uses
// plain handles and pointers.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include <wininet.h>

#include <utility>

namespace rw {

template <typename Traits>
class HandleOwner {
public:
    using Handle = typename Traits::Handle;

    HandleOwner() = default;
    explicit HandleOwner(Handle handle) : handle_(handle) {}
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;
    HandleOwner(HandleOwner&& other) noexcept : handle_(other.release()) {}
    HandleOwner& operator=(HandleOwner&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~HandleOwner() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return Traits::IsValid(handle_); }
    // Frees the handle held (if any) and takes the new one.
    void reset(Handle handle = Traits::Invalid()) {
        if (Traits::IsValid(handle_) && handle_ != handle) Traits::Free(handle_);
        handle_ = handle;
    }
    Handle release() { return std::exchange(handle_, Traits::Invalid()); }

private:
    Handle handle_ = Traits::Invalid();
};

namespace handle_traits {

template <typename H, BOOL(WINAPI* FreeFunction)(H)>
struct NullInvalid {
    using Handle = H;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Free(Handle h) { FreeFunction(h); }
};

template <typename H>
struct Gdi {
    using Handle = H;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Free(Handle h) { DeleteObject(h); }
};

// Kernel handles: both null and INVALID_HANDLE_VALUE mean "none".
struct Kernel {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Free(Handle h) { CloseHandle(h); }
};

}  // namespace handle_traits

using WindowOwner = HandleOwner<handle_traits::NullInvalid<HWND, DestroyWindow>>;
using IconOwner = HandleOwner<handle_traits::NullInvalid<HICON, DestroyIcon>>;
using MenuOwner = HandleOwner<handle_traits::NullInvalid<HMENU, DestroyMenu>>;
using ModuleOwner = HandleOwner<handle_traits::NullInvalid<HMODULE, FreeLibrary>>;
using FontOwner = HandleOwner<handle_traits::Gdi<HFONT>>;
using BrushOwner = HandleOwner<handle_traits::Gdi<HBRUSH>>;
using PenOwner = HandleOwner<handle_traits::Gdi<HPEN>>;
using BitmapOwner = HandleOwner<handle_traits::Gdi<HBITMAP>>;
using RegionOwner = HandleOwner<handle_traits::Gdi<HRGN>>;
using KernelHandleOwner = HandleOwner<handle_traits::Kernel>;
// A DC of CreateCompatibleDC (DeleteDC); DCs of GetDC and BeginPaint have the guards below.
using MemoryDCOwner = HandleOwner<handle_traits::NullInvalid<HDC, DeleteDC>>;
// WinINet session, connection and request handles.
using InternetHandleOwner = HandleOwner<handle_traits::NullInvalid<HINTERNET, InternetCloseHandle>>;

// Holds one reference to a COM object and releases it. Move-only: a second reference is
// taken explicitly (AddRef and an owner of its own), never by accident.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller holds.
    explicit ComPtr(T* pointer) : p_(pointer) {}
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(other.release()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~ComPtr() { reset(); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // Releases the reference held (if any) and takes the new one.
    void reset(T* pointer = nullptr) {
        if (p_ && p_ != pointer) p_->Release();
        p_ = pointer;
    }
    T* release() { return std::exchange(p_, nullptr); }
    // For creation functions that hand out a reference through a T**: releases the one held.
    T** receive() {
        reset();
        return &p_;
    }
    // The same as void**, for CoCreateInstance and QueryInterface.
    void** receiveVoid() { return reinterpret_cast<void**>(receive()); }

private:
    T* p_ = nullptr;
};

// BeginPaint/EndPaint for one WM_PAINT.
class PaintGuard {
public:
    explicit PaintGuard(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
    PaintGuard(const PaintGuard&) = delete;
    PaintGuard& operator=(const PaintGuard&) = delete;
    ~PaintGuard() { EndPaint(hwnd_, &paint_); }
    HDC dc() const { return dc_; }
    const PAINTSTRUCT& paint() const { return paint_; }

private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// GetDC/ReleaseDC (the window's client area, or the screen for a null window).
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    HDC dc() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects a GDI object into a DC and puts the previous one back, so that no owned object is
// still selected when its owner deletes it.
class SelectionGuard {
public:
    SelectionGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    SelectionGuard(const SelectionGuard&) = delete;
    SelectionGuard& operator=(const SelectionGuard&) = delete;
    ~SelectionGuard() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace rw
