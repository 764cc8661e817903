#include "localization/catalog_text.h"

#include <cstdlib>
#include <cstring>

#include "base/bounded_text.h"
#include "base/byte_order.h"
#include "base/crc32.h"
#include "base/system_calls.h"

namespace {
constexpr size_t kAnsiTestBytes = 16;
constexpr size_t kUtf16TestBytes = 32;

bool AnsiMarkerAt(const uint8_t* p) {
  for (size_t i = 0; i < kCatalogMarkerUnits; ++i) {
    if (p[i] != kCatalogMarker[i]) {
      return false;
    }
  }
  return true;
}

bool Utf16MarkerAt(const uint8_t* p) {
  for (size_t i = 0; i < kCatalogMarkerUnits; ++i) {
    if (ReadLittleEndian16(p + 2 * i) != kCatalogMarker[i]) {
      return false;
    }
  }
  return true;
}

// The file's units are little-endian; only a big-endian host has to turn them.
void UnitsFromLittleEndian(uint8_t* bytes, size_t units) {
  if (HostIsLittleEndian()) {
    return;
  }
  for (size_t i = 0; i < units; ++i) {
    const uint16_t unit = ReadLittleEndian16(bytes + 2 * i);
    std::memcpy(bytes + 2 * i, &unit, sizeof unit);
  }
}

uint8_t KindByte(int kind) {
  const LookupKindName* name = FindLookupKindName(kind);
  return name != nullptr ? static_cast<uint8_t>(name->letter[0]) : 0;
}

// Feeds the ANSI form of text, cut at 4095 bytes, up to its first zero byte.
uint32_t FeedAnsi(const AnsiCodec& codec, const char16_t* text, uint32_t crc) {
  char ansi[kAnsiKeyBytes];
  ansi[0] = 0;
  codec.wideToAnsi(text, ansi, kAnsiKeyBytes);
  ansi[kAnsiKeyBytes - 1] = 0;
  return Crc32(crc, ansi, std::strlen(ansi));
}

// qsort has no context argument; the loader is not reentrant, so the text
// being sorted can wait here.
const char16_t* sortedText = nullptr;

int CompareLines(const void* a, const void* b) {
  const uint64_t left = *static_cast<const uint64_t*>(a);
  const uint64_t right = *static_cast<const uint64_t*>(b);
  return CompareKeyUnits(sortedText + left, sortedText + right);
}
}  // namespace

bool FindMarkerInChunk(const uint8_t* chunk, size_t n, size_t* offset, CatalogForm* form) {
  if (n < kAnsiTestBytes) {
    return false;
  }
  for (size_t j = 0; j <= n - kAnsiTestBytes; ++j) {
    if (AnsiMarkerAt(chunk + j)) {
      *offset = j;
      *form = CatalogForm::kAnsi;
      return true;
    }
    if (j + kUtf16TestBytes <= n && Utf16MarkerAt(chunk + j)) {
      *offset = j;
      *form = CatalogForm::kUtf16;
      return true;
    }
  }
  return false;
}

bool FindCatalogMarker(CatalogSource& source, int64_t* position, CatalogForm* form) {
  uint8_t chunk[kMarkerChunkBytes];
  for (int k = 0; k < kMarkerChunkLimit; ++k) {
    const int64_t start = source.Tell();
    if (start < 0) {
      return false;  // no position, no marker offset
    }
    const int32_t got = source.Read(chunk, kMarkerChunkBytes);
    const size_t n = got > 0 ? static_cast<size_t>(got) : 0;  // a failed read finds nothing
    size_t j = 0;
    if (FindMarkerInChunk(chunk, n, &j, form)) {
      *position = start + static_cast<int64_t>(j);
      return true;
    }
    // The next chunk repeats the last 16 bytes, so a marker across the
    // boundary is seen whole; a short file gives nothing to step back over.
    const int64_t next =
        start + static_cast<int64_t>(n) - static_cast<int64_t>(kMarkerChunkOverlap);
    source.Seek(next > 0 ? next : 0, fileapi::kFileBegin);
  }
  return false;
}

char16_t* DecodeCatalogBody(uint8_t* buffer, size_t n, CatalogForm form, const AnsiCodec& codec,
                            uint64_t* length) {
  if (n > kBodyReadBytes) {
    n = kBodyReadBytes;
  }
  char16_t* text = nullptr;
  if (form == CatalogForm::kUtf16) {
    UnitsFromLittleEndian(buffer, n / 2);
    text = reinterpret_cast<char16_t*>(buffer);
    *length = n / 2;  // an odd last byte is dropped
  } else {
    buffer[n] = 0;
    void* wide = CatalogRealloc(nullptr, (n + 1) * sizeof(char16_t));
    if (wide == nullptr) {
      std::free(buffer);
      return nullptr;
    }
    text = static_cast<char16_t*>(wide);
    text[0] = 0;
    text[n] = 0;
    codec.ansiToWide(reinterpret_cast<const char*>(buffer), text, n + 1);
    std::free(buffer);
    *length = n;
  }
  text[*length < kMaxCatalogUnits ? *length : kMaxCatalogUnits] = 0;
  return text;
}

uint64_t ResolveCatalogEscapes(char16_t* text, uint64_t length) {
  uint64_t r = 0;
  uint64_t w = 0;
  while (r < length) {
    const char16_t c = text[r++];
    if (c == 0) {
      break;
    }
    char16_t out = c;
    if (c == u'\\') {
      // text[length] is a NUL, so the look-ahead stays within the text.
      switch (text[r]) {
        case u'"':
          out = u'"';
          ++r;
          break;
        case u'\\':
          out = u'\\';
          ++r;
          break;
        case u'n':
          out = 0x0A;
          ++r;
          break;
        case u'r':
          out = 0x0D;
          ++r;
          break;
        case u't':
          out = 0x09;
          ++r;
          break;
        default:
          break;
      }
    } else if (c == 0x0D || c == 0x0A) {
      out = kLineSeparator;
    }
    text[w++] = out;
  }
  text[w] = 0;
  return w;
}

void BuildCatalogIndex(const char16_t* text, uint64_t length, GrowArray* index) {
  if (length <= 9) {
    return;
  }
  for (uint64_t l = 1; l <= length - 9; ++l) {
    if (text[l - 1] == kLineSeparator && text[l] != kLineSeparator) {
      index->Append(l);
    }
  }
}

void SortCatalogIndex(const char16_t* text, GrowArray* index) {
  if (index->count < 2) {
    return;
  }
  sortedText = text;
  std::qsort(index->items, static_cast<size_t>(index->count), sizeof(uint64_t), CompareLines);
  sortedText = nullptr;
}

int CompareKeyUnits(const char16_t* a, const char16_t* b) {
  for (size_t i = 0; i < kKeyUnits; ++i) {
    if (a[i] != b[i]) {
      return a[i] < b[i] ? -1 : 1;
    }
    if (a[i] == 0) {
      return 0;
    }
  }
  return 0;
}

uint32_t CatalogKeyCrc(const AnsiCodec& codec, int kind, const char16_t* context,
                       const char16_t* source) {
  const uint8_t kindByte = KindByte(kind);
  uint32_t crc = Crc32(0xFFFFFFFFu, &kindByte, 1);
  if (context != nullptr) {
    crc = FeedAnsi(codec, context, crc);
  }
  crc = FeedAnsi(codec, source, crc);
  return ~crc;
}

void FormCatalogKey(const AnsiCodec& codec, int kind, const char16_t* context,
                    const char16_t* source, char16_t* key) {
  const unsigned crc = CatalogKeyCrc(codec, kind, context, source);
  FormatBounded(key, kKeyCapacity, u"%08x", crc);
}

int32_t MemorySource::Read(void* buffer, uint64_t count) {
  const size_t left = position_ < size_ ? size_ - position_ : 0;
  size_t n = count < left ? static_cast<size_t>(count) : left;
  if (n > 0x7FFFFFFF) {
    n = 0x7FFFFFFF;
  }
  if (n > 0) {
    std::memcpy(buffer, data_ + position_, n);
  }
  position_ += n;
  return static_cast<int32_t>(n);
}

void MemorySource::Seek(int64_t offset, int method) {
  int64_t base = 0;
  if (method == fileapi::kFileCurrent) {
    base = static_cast<int64_t>(position_);
  }
  if (method == fileapi::kFileEnd) {
    base = static_cast<int64_t>(size_);
  }
  const int64_t target = base + offset;
  // A file lets one seek past its end; reads there simply give 0.
  if (target >= 0) {
    position_ = static_cast<size_t>(target);
  }
}

bool PutNameAfterLastBackslash(char16_t* path, const char16_t* name, size_t cap) {
  size_t cut = 0;
  bool found = false;
  for (size_t i = 0; i < cap && path[i] != 0; ++i) {
    if (path[i] == u'\\') {
      cut = i + 1;
      found = true;
    }
  }
  if (!found) {
    return false;
  }
  const size_t nameLength = TextLength(name);
  // A cut name would be another file's name.
  if (cut + nameLength >= cap) {
    return false;
  }
  for (size_t i = 0; i <= nameLength; ++i) {
    path[cut + i] = name[i];
  }
  return true;
}
