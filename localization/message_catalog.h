// The message catalog (launcher.lng): every shown text passes through
// Translate, keyed by the CRC-32 of its kind, context and English source.
#pragma once
#include <cstdint>

#include "support/code_page.h"

enum LookupKind : int { kStringText = 0, kDialogText = 1, kMenuText = 2 };

// Growable array of 64-bit items (the catalog's line index).
struct GrowArray {
  uint64_t* items = nullptr;
  uint64_t count = 0;
  uint64_t capacity = 0;
  uint64_t maximum = 0;  // 0: no limit

  GrowArray() = default;
  ~GrowArray();
  GrowArray(const GrowArray&) = delete;
  GrowArray& operator=(const GrowArray&) = delete;
  void Grow(uint64_t n);
  void Append(uint64_t value);
};

class MessageCatalog {
 public:
  MessageCatalog() = default;
  ~MessageCatalog();
  MessageCatalog(const MessageCatalog&) = delete;
  MessageCatalog& operator=(const MessageCatalog&) = delete;

  void LoadCatalog(const char16_t* name);
  void ReadCatalogFile(const char16_t* path);
  bool IsLoaded() const { return text != nullptr; }
  void Translate(const char16_t* source, char16_t* result, size_t capacity, int kind,
                 const char16_t* context) const;
  bool GetDialogScale(const char16_t* dialogName, int32_t* x, int32_t* y) const;
  void DetectTextDirection();

  char16_t* text = nullptr;
  uint64_t length = 0;
  GrowArray index;
  bool rightToLeft = false;
};

// The one catalog (services/process_frame.cpp).
extern MessageCatalog TheCatalog;
