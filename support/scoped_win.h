// Small owners for what the Win32 edge would otherwise release by hand: a COM
// interface, a BSTR, a GDI object, a window's DC, a memory DC, an object
// selected into a DC. Each releases on scope exit and cannot be copied.
#pragma once
#include <windows.h>
// After <windows.h>.
#include <oleauto.h>

// Not copyable or movable: each owner lives in one scope.
#define ZTK_NO_COPY(Type)                \
  Type(const Type&) = delete;            \
  Type& operator=(const Type&) = delete; \
  Type(Type&&) = delete;                 \
  Type& operator=(Type&&) = delete

template <typename T>
class ScopedComPtr {
 public:
  ScopedComPtr() = default;
  ~ScopedComPtr() {
    if (p_ != nullptr) p_->Release();
  }
  ZTK_NO_COPY(ScopedComPtr);

  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  T** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }
  static REFIID Id() { return __uuidof(T); }

 private:
  T* p_ = nullptr;
};

class ScopedBstr {
 public:
  explicit ScopedBstr(const wchar_t* text) : text_(SysAllocString(text)) {}
  ~ScopedBstr() { SysFreeString(text_); }
  ZTK_NO_COPY(ScopedBstr);

  BSTR Get() const { return text_; }

 private:
  BSTR text_;
};

template <typename T>
class ScopedGdiObject {
 public:
  explicit ScopedGdiObject(T object) : object_(object) {}
  ~ScopedGdiObject() {
    if (object_ != nullptr) DeleteObject(object_);
  }
  ZTK_NO_COPY(ScopedGdiObject);

  T Get() const { return object_; }

 private:
  T object_;
};

// GetDC / ReleaseDC.
class ScopedGetDc {
 public:
  explicit ScopedGetDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ScopedGetDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  ZTK_NO_COPY(ScopedGetDc);

  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// CreateCompatibleDC / DeleteDC.
class ScopedMemoryDc {
 public:
  explicit ScopedMemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
  ~ScopedMemoryDc() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  ZTK_NO_COPY(ScopedMemoryDc);

  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

// SelectObject, and the previous object selected back on scope exit.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~ScopedSelectObject() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
  }
  ZTK_NO_COPY(ScopedSelectObject);

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

#undef ZTK_NO_COPY
