// The message catalog (launcher.lng): every shown text passes through
// Translate, keyed by the CRC-32 of its kind, context and English source.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/code_page.h"

enum LookupKind : int { kStringText = 0, kDialogText = 1, kMenuText = 2 };

// Each kind's names: the letter is the byte its keys' checksums begin with,
// the word names it in the translators' formats.
struct LookupKindName {
  LookupKind kind;
  const char* letter;
  const char* word;
};
inline constexpr LookupKindName kLookupKindNames[] = {
    {kStringText, "s", "string"}, {kDialogText, "$", "dialog"}, {kMenuText, "@", "menu"}};

// The names of kind, or null for a value that is no kind.
inline const LookupKindName* FindLookupKindName(int kind) {
  for (const LookupKindName& name : kLookupKindNames) {
    if (name.kind == kind) {
      return &name;
    }
  }
  return nullptr;
}

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
  GrowArray(GrowArray&&) = delete;
  GrowArray& operator=(GrowArray&&) = delete;
  // Never returns when the storage cannot grow (ErrorReporter::MemoryError).
  void Grow(uint64_t n);
  void Append(uint64_t value);
};

// Every allocation of the catalog (text buffers and index) goes through this
// realloc-shaped hook, so that tests can make it fail; storage it returns is
// released with std::free.
extern void* (*CatalogRealloc)(void* block, size_t bytes);

// What the loader reads from: a file, or bytes in memory. The operations
// behave as DiskFile's: Read gives the bytes read, 0 at the end, -1 on
// failure; Tell -1 when the position is unknown.
class CatalogSource {
 public:
  CatalogSource() = default;
  virtual ~CatalogSource() = default;
  CatalogSource(const CatalogSource&) = delete;
  CatalogSource& operator=(const CatalogSource&) = delete;
  CatalogSource(CatalogSource&&) = delete;
  CatalogSource& operator=(CatalogSource&&) = delete;

  virtual int64_t Tell() = 0;
  virtual int32_t Read(void* buffer, uint64_t count) = 0;
  virtual void Seek(int64_t offset, int method) = 0;
};

class MessageCatalog {
 public:
  MessageCatalog() = default;
  // A catalog that reads 8-bit files and forms its keys with another code page.
  explicit MessageCatalog(const AnsiCodec& ansi) : codec_(&ansi) {}
  ~MessageCatalog();
  MessageCatalog(const MessageCatalog&) = delete;
  MessageCatalog& operator=(const MessageCatalog&) = delete;
  MessageCatalog(MessageCatalog&&) = delete;
  MessageCatalog& operator=(MessageCatalog&&) = delete;

  void LoadCatalog(const char16_t* name);
  void ReadCatalogFile(const char16_t* path);
  // The loader without a file: marker search, body, escapes, index and sort.
  // True when a catalog text is held afterwards. A loaded catalog is kept.
  bool LoadFromSource(CatalogSource& source);
  bool LoadFromBytes(const void* data, size_t size);

  bool IsLoaded() const { return text_ != nullptr; }
  // The loaded text (null before a load), its length in units and its line
  // index, for readers such as lngtool's checks.
  const char16_t* Text() const { return text_; }
  uint64_t Length() const { return length_; }
  const GrowArray& Index() const { return index_; }
  const AnsiCodec& Codec() const { return *codec_; }
  bool RightToLeft() const { return rightToLeft_; }
  // The loaded catalog was found through the user's language folder, so the
  // user may have written it.
  bool FromLanguageFolder() const { return fromLanguageFolder_; }
  // For a dialog shown without a catalog load, such as a test's.
  void SetRightToLeft(bool rightToLeft) { rightToLeft_ = rightToLeft; }
  // Back to the state before any load: text, index and direction dropped.
  void Unload();
  void Translate(const char16_t* source, char16_t* result, size_t capacity, LookupKind kind,
                 const char16_t* context) const;
  // Offset of a line whose first 8 units equal key, or -1.
  int64_t FindKeySorted(const char16_t* key) const;
  int64_t FindKeyLinear(const char16_t* key) const;
  // The value of the line at offset line (0..length) into result: from its
  // 11th unit to the line's end (at most 255 units on the last line), cut to
  // capacity - 1 units and then at its last double quote.
  void CopyLineValue(uint64_t line, char16_t* result, size_t capacity) const;
  bool GetDialogScale(const char16_t* dialogName, int32_t* x, int32_t* y) const;
  void DetectTextDirection();

 private:
  // The exit-time step and its test hook read this state in this order.
  char16_t* text_ = nullptr;
  uint64_t length_ = 0;
  GrowArray index_;
  bool rightToLeft_ = false;
  const AnsiCodec* codec_ = &SystemAnsi;
  bool fromLanguageFolder_ = false;
};

// The one catalog (launcher/process_frame.cpp).
extern MessageCatalog& TheCatalog;
