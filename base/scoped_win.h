// Small owners for what the Win32 edge would otherwise release by hand: COM
// for the thread, a COM interface, a BSTR, a GDI object, a window's DC, a
// memory DC, an object selected into a DC, a kernel handle, a module, a
// registry key and LocalAlloc'ed memory. Each releases on scope exit and is
// neither copied nor moved: it lives in one scope.
#pragma once
#include <windows.h>
// After <windows.h>.
#include <objbase.h>
#include <oleauto.h>

// COM for the calling thread from construction to destruction, when the
// thread did not have it already.
class ScopedComApartment {
 public:
  ScopedComApartment()
      : initialized_(
            SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
  }
  ~ScopedComApartment() {
    if (initialized_) CoUninitialize();
  }
  ScopedComApartment(const ScopedComApartment&) = delete;
  ScopedComApartment& operator=(const ScopedComApartment&) = delete;
  ScopedComApartment(ScopedComApartment&&) = delete;
  ScopedComApartment& operator=(ScopedComApartment&&) = delete;

 private:
  bool initialized_;
};

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

// Owns one T, null for none, and hands it to free at scope exit.
template <typename T, typename Free>
class ScopedOwner {
 public:
  explicit ScopedOwner(T owned, Free free = Free()) : owned_(owned), free_(free) {}
  ~ScopedOwner() {
    if (owned_ != nullptr) free_(owned_);
  }
  ScopedOwner(const ScopedOwner&) = delete;
  ScopedOwner& operator=(const ScopedOwner&) = delete;
  ScopedOwner(ScopedOwner&&) = delete;
  ScopedOwner& operator=(ScopedOwner&&) = delete;

  T Get() const { return owned_; }

 private:
  T owned_;
  Free free_;
};

struct FreeBstr {
  void operator()(BSTR text) const { SysFreeString(text); }
};
struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DeleteMemoryDc {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
// CreateFileW gives INVALID_HANDLE_VALUE, not null, for no file.
struct CloseKernelHandle {
  void operator()(HANDLE handle) const {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
struct FreeModule {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
struct CloseKey {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
struct FreeLocal {
  void operator()(void* memory) const { LocalFree(memory); }
};
struct ReleaseWindowDc {
  HWND window;
  void operator()(HDC dc) const { ReleaseDC(window, dc); }
};
struct SelectBack {
  HDC dc;
  void operator()(HGDIOBJ previous) const { SelectObject(dc, previous); }
};

template <typename T>
using ScopedGdiObject = ScopedOwner<T, DeleteGdiObject>;
using ScopedHandle = ScopedOwner<HANDLE, CloseKernelHandle>;
using ScopedModule = ScopedOwner<HMODULE, FreeModule>;
using ScopedRegistryKey = ScopedOwner<HKEY, CloseKey>;
template <typename T>
using ScopedLocalMemory = ScopedOwner<T, FreeLocal>;

// SysAllocString / SysFreeString.
class ScopedBstr : public ScopedOwner<BSTR, FreeBstr> {
 public:
  explicit ScopedBstr(const wchar_t* text) : ScopedOwner(SysAllocString(text)) {}
};

// CreateCompatibleDC / DeleteDC.
class ScopedMemoryDc : public ScopedOwner<HDC, DeleteMemoryDc> {
 public:
  explicit ScopedMemoryDc(HDC like) : ScopedOwner(CreateCompatibleDC(like)) {}
};

// GetDC / ReleaseDC.
class ScopedGetDc : public ScopedOwner<HDC, ReleaseWindowDc> {
 public:
  explicit ScopedGetDc(HWND window) : ScopedOwner(GetDC(window), ReleaseWindowDc{window}) {}
};

// SelectObject, and the previous object selected back on scope exit.
class ScopedSelectObject : public ScopedOwner<HGDIOBJ, SelectBack> {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object)
      : ScopedOwner(SelectObject(dc, object), SelectBack{dc}) {}
};
