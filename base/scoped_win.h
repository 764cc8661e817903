// Small owners for what the Win32 edge would otherwise release by hand: a COM
// interface, a BSTR, a GDI object, a window's DC, a memory DC, an object
// selected into a DC. Each releases on scope exit and is neither copied nor
// moved: it lives in one scope.
#pragma once
#include <windows.h>
// After <windows.h>.
#include <oleauto.h>

template <typename T>
class ScopedComPtr {
 public:
  ScopedComPtr() = default;
  ~ScopedComPtr() {
    if (p_ != nullptr) p_->Release();
  }
  ScopedComPtr(const ScopedComPtr&) = delete;
  ScopedComPtr& operator=(const ScopedComPtr&) = delete;
  ScopedComPtr(ScopedComPtr&&) = delete;
  ScopedComPtr& operator=(ScopedComPtr&&) = delete;

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
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  ScopedBstr(ScopedBstr&&) = delete;
  ScopedBstr& operator=(ScopedBstr&&) = delete;

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
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
  ScopedGdiObject(ScopedGdiObject&&) = delete;
  ScopedGdiObject& operator=(ScopedGdiObject&&) = delete;

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
  ScopedGetDc(const ScopedGetDc&) = delete;
  ScopedGetDc& operator=(const ScopedGetDc&) = delete;
  ScopedGetDc(ScopedGetDc&&) = delete;
  ScopedGetDc& operator=(ScopedGetDc&&) = delete;

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
  ScopedMemoryDc(const ScopedMemoryDc&) = delete;
  ScopedMemoryDc& operator=(const ScopedMemoryDc&) = delete;
  ScopedMemoryDc(ScopedMemoryDc&&) = delete;
  ScopedMemoryDc& operator=(ScopedMemoryDc&&) = delete;

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
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
  ScopedSelectObject(ScopedSelectObject&&) = delete;
  ScopedSelectObject& operator=(ScopedSelectObject&&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
