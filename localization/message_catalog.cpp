#include "localization/message_catalog.h"

#include <cstdint>
#include <cstdlib>

#include "base/bounded_text.h"
#include "base/disk_file.h"
#include "base/error_reporter.h"
#include "base/own_path.h"
#include "localization/catalog_text.h"
#include "localization/rtl_resource_probe.h"
#include "module/language_folder.h"
#include "module/resource_module.h"

namespace {
constexpr size_t kValueStart = 10;  // past the key, '=' and the opening quote
constexpr size_t kScaleCapacity = 512;

void* StandardRealloc(void* block, size_t bytes) { return std::realloc(block, bytes); }

class FileSource final : public CatalogSource {
 public:
  explicit FileSource(DiskFile& file) : file_(file) {}
  int64_t Tell() override { return file_.Tell(); }
  int32_t Read(void* buffer, uint64_t count) override { return file_.Read(buffer, count); }
  void Seek(int64_t offset, int method) override { file_.Seek(offset, method); }

 private:
  DiskFile& file_;
};

const char16_t* FindChar(const char16_t* text, char16_t c) {
  for (; *text != 0; ++text) {
    if (*text == c) {
      return text;
    }
  }
  return nullptr;
}

// The key, then '=' and '"': a line FindKeyLinear accepts. Each unit is
// read only after the one before it was found not to be the terminator.
bool LineHoldsKey(const char16_t* line, const char16_t* key) {
  for (size_t i = 0; i < kKeyUnits; ++i) {
    if (line[i] == 0 || line[i] != key[i]) {
      return false;
    }
  }
  return line[kKeyUnits] == u'=' && line[kKeyUnits + 1] == u'"';
}

int32_t LowBits(int64_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}
}  // namespace

void* (*CatalogRealloc)(void* block, size_t bytes) = StandardRealloc;

GrowArray::~GrowArray() { std::free(items); }

void GrowArray::Grow(uint64_t n) {
  const uint64_t before = count;
  // A wrapped count would pass for one that fits.
  if (n > UINT64_MAX - count) {
    TheErrorReporter.MemoryError();
  }
  count += n;
  if (count <= capacity) {
    return;
  }
  if (maximum != 0 && count > maximum) {
    count = before;
    TheErrorReporter.GeneralMessage(u"Maximum allowed array size (%u) is exceeded",
                                    static_cast<unsigned>(maximum));
    TheErrorReporter.MemoryError();
  }
  uint64_t next = capacity + capacity / 4 + 32;
  if (next < count) {
    next = count;
  }
  void* grown = nullptr;
  if (next <= SIZE_MAX / sizeof(uint64_t)) {
    grown = CatalogRealloc(items, static_cast<size_t>(next * sizeof(uint64_t)));
  }
  if (grown == nullptr) {
    count = before;  // the old storage stays whole and owned
    TheErrorReporter.MemoryError();
  }
  items = static_cast<uint64_t*>(grown);
  capacity = next;
}

void GrowArray::Append(uint64_t value) {
  Grow(1);
  items[count - 1] = value;
}

MessageCatalog::~MessageCatalog() { std::free(text_); }

void MessageCatalog::Unload() {
  std::free(text_);
  text_ = nullptr;
  length_ = 0;
  std::free(index_.items);
  index_.items = nullptr;
  index_.count = 0;
  index_.capacity = 0;
  rightToLeft_ = false;
  fromLanguageFolder_ = false;
}

void MessageCatalog::LoadCatalog(const char16_t* name) {
  char16_t path[kPathCapacity];
  const bool redirected = RedirectToLanguageFolder(name, path, kPathCapacity);
  if (!IsLoaded()) {
    ReadCatalogFile(path);
    fromLanguageFolder_ = redirected && IsLoaded();
  }
  DetectTextDirection();
}

void MessageCatalog::ReadCatalogFile(const char16_t* name) {
  if (IsLoaded()) {
    return;
  }
  char16_t beside[kPathCapacity];
  const char16_t* path = name;
  if (FindChar(name, u'\\') == nullptr) {
    if (!OwnExecutablePath(beside, kPathCapacity)) {
      return;
    }
    if (!PutNameAfterLastBackslash(beside, name, kPathCapacity)) {
      return;
    }
    path = beside;
  }
  DiskFile file;  // closed on every way out
  if (!file.Open(path, DiskFile::kModeRead | DiskFile::kModeShareWrite)) {
    return;
  }
  FileSource source(file);
  LoadFromSource(source);
}

bool MessageCatalog::LoadFromSource(CatalogSource& source) {
  // A second load would mix its offsets into the first one's index.
  if (IsLoaded()) {
    return true;
  }
  int64_t marker = 0;
  CatalogForm form = CatalogForm::kAnsi;
  if (!FindCatalogMarker(source, &marker, &form)) {
    return false;
  }
  source.Seek(marker, fileapi::kFileBegin);
  auto* buffer = static_cast<uint8_t*>(CatalogRealloc(nullptr, kBodyBufferBytes));
  if (buffer == nullptr) {
    return false;
  }
  const int32_t got = source.Read(buffer, kBodyReadBytes);
  if (got < 0) {
    std::free(buffer);
    return false;
  }
  uint64_t units = 0;
  char16_t* body = DecodeCatalogBody(buffer, static_cast<size_t>(got), form, *codec_, &units);
  if (body == nullptr) {
    return false;
  }
  length_ = ResolveCatalogEscapes(body, units);
  text_ = body;  // owned from here, even if the index cannot grow
  BuildCatalogIndex(text_, length_, &index_);
  SortCatalogIndex(text_, &index_);
  return true;
}

bool MessageCatalog::LoadFromBytes(const void* data, size_t size) {
  MemorySource source(data, size);
  return LoadFromSource(source);
}

void MessageCatalog::Translate(const char16_t* source, char16_t* result, size_t capacity,
                               LookupKind kind, const char16_t* context) const {
  if (capacity == 0) {
    return;
  }
  if (IsLoaded()) {
    char16_t key[kKeyCapacity];
    FormCatalogKey(*codec_, kind, context, source, key);
    int64_t line = FindKeySorted(key);
    if (line < 0) {
      line = FindKeyLinear(key);
    }
    if (line >= 0) {
      CopyLineValue(static_cast<uint64_t>(line), result, capacity);
      return;
    }
  }
  if (result != source) {
    CopyBounded(result, source, capacity);
  }
}

void MessageCatalog::CopyLineValue(uint64_t line, char16_t* result, size_t capacity) const {
  if (capacity == 0) {
    return;
  }
  // An indexed line may end before its 10th unit (the text's last 9 units):
  // its value would begin past the terminator, so it is empty.
  if (!IsLoaded() || line > length_ || length_ - line < kValueStart) {
    result[0] = 0;
    return;
  }
  const char16_t* value = text_ + line + kValueStart;
  uint64_t count = 0;
  while (value[count] != 0 && value[count] != kLineSeparator) {
    ++count;
  }
  if (value[count] == 0) {
    count = kLastLineValue;
  }
  if (count > capacity - 1) {
    count = capacity - 1;
  }
  CopyBounded(result, value, static_cast<size_t>(count) + 1);
  char16_t* lastQuote = nullptr;
  for (char16_t* p = result; *p != 0; ++p) {
    if (*p == u'"') {
      lastQuote = p;
    }
  }
  if (lastQuote != nullptr) {
    *lastQuote = 0;
  }
}

int64_t MessageCatalog::FindKeySorted(const char16_t* key) const {
  if (!IsLoaded()) {
    return -1;
  }
  const uint64_t* base = index_.items;
  int32_t size = static_cast<int32_t>(index_.count);
  while (size > 0) {
    const int32_t mid = size / 2;
    const int order = CompareKeyUnits(key, text_ + base[mid]);
    if (order == 0) {
      return static_cast<int64_t>(base[mid]);
    }
    if (order < 0) {
      size = mid;
    } else {
      base += mid + 1;
      size -= mid + 1;
    }
  }
  return -1;
}

int64_t MessageCatalog::FindKeyLinear(const char16_t* key) const {
  if (!IsLoaded()) {
    return -1;
  }
  const char16_t* p = text_;
  while (*p != 0) {
    if (LineHoldsKey(p, key)) {
      return p - text_;
    }
    while (*p != 0 && *p != kLineSeparator) {
      ++p;
    }
    while (*p == kLineSeparator) {
      ++p;
    }
  }
  return -1;
}

bool MessageCatalog::GetDialogScale(const char16_t* dialogName, int32_t* x, int32_t* y) const {
  char16_t value[kScaleCapacity];
  Translate(u"", value, kScaleCapacity, kDialogText, dialogName);
  const char16_t* star = FindChar(value, u'*');
  if (star != nullptr) {
    *x = LowBits(ParseDecimal(value));
    *y = LowBits(ParseDecimal(star + 1));
  } else {
    *x = 100;
    *y = 100;
  }
  return *x != 100 || *y != 100;
}

void MessageCatalog::DetectTextDirection() {
  if (ActiveModuleHasRtlDialog()) {
    rightToLeft_ = true;
    return;
  }
  char16_t direction[kDialogTextCapacity];
  Translate(u"LTR", direction, kDialogTextCapacity, kDialogText, u"LTR");
  rightToLeft_ = TextEqual(direction, u"RTL");
}
