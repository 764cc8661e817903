// The catalog's pure steps, free of files and of the platform: the marker
// search, the body's decoding, the escape pass, the line index and the keys.
// The loader, the fuzzer, the benchmarks and tools share them.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/code_page.h"
#include "localization/message_catalog.h"

// The marker search: chunks of this size, each repeating the last bytes of
// the one before, and no more chunks than this.
constexpr size_t kMarkerChunkBytes = 8192;
constexpr size_t kMarkerChunkOverlap = 16;
constexpr int kMarkerChunkLimit = 128;
// The body: one read from the marker on, and the units kept of it.
constexpr size_t kBodyReadBytes = 0x80000;
constexpr size_t kBodyBufferBytes = kBodyReadBytes + 2;  // and a wide terminator
constexpr uint64_t kMaxCatalogUnits = 0x40000;
// Line breaks become this unit in the text the lookups read.
constexpr char16_t kLineSeparator = 0x000C;
// A key: 8 hexadecimal digits, held with its terminator (and one spare).
constexpr size_t kKeyUnits = 8;
constexpr size_t kKeyCapacity = 10;
// The 8-bit form of a key's context or source is cut to this, terminator included.
constexpr size_t kAnsiKeyBytes = 4096;
// The loader finds the body by these 13 characters; catalogs write the
// marker line with one asterisk more.
constexpr char16_t kCatalogMarker[] = u"***messages**";
constexpr size_t kCatalogMarkerUnits = 13;
// A value on the last line, with no line break after it, is cut to this many
// units.
constexpr uint64_t kLastLineValue = 255;

enum class CatalogForm : uint8_t { kAnsi, kUtf16 };

// The first offset j in 0..n-16 of the chunk where the marker begins, the
// 8-bit test made before the UTF-16 test at each offset.
bool FindMarkerInChunk(const uint8_t* chunk, size_t n, size_t* offset, CatalogForm* form);

// Reads chunks of 8192 bytes overlapping by 16, at most 128 of them; on
// success *position is the marker's offset from the start of the source.
bool FindCatalogMarker(CatalogSource& source, int64_t* position, CatalogForm* form);

// Turns the n bytes read into the kBodyBufferBytes buffer into the catalog
// text, which it returns (null when a buffer cannot be had). The buffer is
// either the text itself (UTF-16) or released. The text is terminated at
// min(length, kMaxCatalogUnits) and *length set before the escape pass.
char16_t* DecodeCatalogBody(uint8_t* buffer, size_t n, CatalogForm form, const AnsiCodec& codec,
                            uint64_t* length);

// The escape and line-break pass in place; returns the new length.
uint64_t ResolveCatalogEscapes(char16_t* text, uint64_t length);

// Indexes every line start l in 1..length-9, then sorts by the first 8 units.
void BuildCatalogIndex(const char16_t* text, uint64_t length, GrowArray* index);
void SortCatalogIndex(const char16_t* text, GrowArray* index);

// Wide-string comparison over at most 8 units, unsigned, stopping at a NUL.
int CompareKeyUnits(const char16_t* a, const char16_t* b);

// The 8 lower-case hexadecimal digits of the entry for source, terminated,
// into key (kKeyCapacity units).
uint32_t CatalogKeyCrc(const AnsiCodec& codec, int kind, const char16_t* context,
                       const char16_t* source);
void FormCatalogKey(const AnsiCodec& codec, int kind, const char16_t* context,
                    const char16_t* source, char16_t* key);

// A source over bytes in memory with a file's rules: reads stop at the end,
// a seek past the end is allowed (reads there give 0), and a seek before the
// start fails and leaves the position.
class MemorySource final : public CatalogSource {
 public:
  MemorySource(const void* data, size_t size)
      : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  int64_t Tell() override { return static_cast<int64_t>(position_); }
  int32_t Read(void* buffer, uint64_t count) override;
  void Seek(int64_t offset, int method) override;

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

// Puts name in place of everything after the last backslash of path; false,
// with path unchanged, when there is no backslash or the result would not fit.
bool PutNameAfterLastBackslash(char16_t* path, const char16_t* name, size_t cap);
