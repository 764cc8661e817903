// The catalog's whole path under libFuzzer: bytes -> marker search, body,
// escapes, index and sort -> lookups of texts, kinds, contexts and capacities
// the fuzzer picks. Parameters come from the end of the input, the catalog
// file is what remains, so any catalog file is a useful seed.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "localization/catalog_text.h"
#include "localization/message_catalog.h"

namespace {
// Texts whose keys the seeds hold, so that lookups hit as well as miss.
const char16_t* const kTexts[] = {
    u"",        u"LTR",
    u"OK",      u"LAUNCHDLG",
    u"INFODLG", u"It may take a few minutes to finish the installation of Baidu Antivirus.",
};
constexpr size_t kTextCount = sizeof kTexts / sizeof kTexts[0];

void Check(bool holds) {
  if (!holds) std::abort();
}

void CheckLoaded(const MessageCatalog& catalog) {
  if (!catalog.IsLoaded()) return;
  Check(catalog.Length() <= kMaxCatalogUnits);
  Check(catalog.Text()[catalog.Length()] == 0);
  for (uint64_t i = 0; i < catalog.Index().count; ++i) {
    const uint64_t l = catalog.Index().items[i];
    Check(l >= 1 && l + 8 < catalog.Length());
    Check(catalog.Text()[l - 1] == kLineSeparator && catalog.Text()[l] != kLineSeparator);
    if (i > 0) {
      Check(CompareKeyUnits(catalog.Text() + catalog.Index().items[i - 1], catalog.Text() + l) <=
            0);
    }
  }
}

// A text of the fuzzer's choice: one of the known texts, or a run of the
// catalog's own text (separators and all).
std::vector<char16_t> PickText(FuzzedDataProvider& fdp, const MessageCatalog& catalog) {
  std::vector<char16_t> text;
  const uint8_t choice = fdp.ConsumeIntegral<uint8_t>();
  if (choice < 128 || !catalog.IsLoaded() || catalog.Length() == 0) {
    for (const char16_t* p = kTexts[choice % kTextCount]; *p != 0; ++p) text.push_back(*p);
  } else {
    const uint64_t start = fdp.ConsumeIntegralInRange<uint64_t>(0, catalog.Length() - 1);
    const uint64_t count = fdp.ConsumeIntegralInRange<uint64_t>(0, 600);
    for (uint64_t i = start; i < catalog.Length() && i < start + count; ++i)
      text.push_back(catalog.Text()[i]);
  }
  text.push_back(0);
  return text;
}

// The result must be terminated within its capacity.
void CheckTerminated(const std::vector<char16_t>& result, size_t capacity) {
  bool terminated = false;
  for (size_t i = 0; i < capacity && !terminated; ++i) terminated = result[i] == 0;
  Check(terminated);
}

void Lookup(FuzzedDataProvider& fdp, const MessageCatalog& catalog) {
  // 3 is no kind at all, which must be handled as safely as the others.
  const auto kind = static_cast<LookupKind>(fdp.ConsumeIntegralInRange<int>(0, 3));
  const size_t capacity = fdp.ConsumeIntegralInRange<size_t>(1, 1100);
  const bool inPlace = fdp.ConsumeBool();
  const bool withContext = fdp.ConsumeBool();
  const std::vector<char16_t> source = PickText(fdp, catalog);
  const std::vector<char16_t> context = PickText(fdp, catalog);
  const char16_t* contextText = withContext ? context.data() : nullptr;
  if (inPlace) {
    // The caller's promise: the source, terminator included, lies within
    // the capacity.
    const size_t held = capacity < source.size() ? source.size() : capacity;
    std::vector<char16_t> buffer(source);
    buffer.resize(held, u'#');
    catalog.Translate(buffer.data(), buffer.data(), held, kind, contextText);
    CheckTerminated(buffer, held);
  } else {
    // Exactly capacity units, so that any write beyond is caught.
    std::vector<char16_t> result(capacity, u'#');
    catalog.Translate(source.data(), result.data(), capacity, kind, contextText);
    CheckTerminated(result, capacity);
  }
  if (source.size() > kKeyUnits) {
    catalog.FindKeySorted(source.data());
    catalog.FindKeyLinear(source.data());
  }
}

void ValueAt(FuzzedDataProvider& fdp, const MessageCatalog& catalog) {
  const size_t capacity = fdp.ConsumeIntegralInRange<size_t>(1, 300);
  std::vector<char16_t> result(capacity, u'#');
  uint64_t line = fdp.ConsumeIntegralInRange<uint64_t>(0, catalog.Length());
  if (fdp.ConsumeBool() && catalog.Index().count > 0)
    line = catalog.Index().items[line % catalog.Index().count];
  catalog.CopyLineValue(line, result.data(), capacity);
  CheckTerminated(result, capacity);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The parameters sit in the last bytes (FuzzedDataProvider takes integers
  // from the end); their count is the very last byte.
  FuzzedDataProvider params(data, size);
  const int lookups = params.ConsumeIntegralInRange<int>(0, 8);
  const size_t paramBytes = size < 64 ? size / 4 : 64;
  const size_t catalogBytes = size - paramBytes;
  FuzzedDataProvider fdp(data + catalogBytes, paramBytes);

  MessageCatalog catalog;
  catalog.LoadFromBytes(data, catalogBytes);
  CheckLoaded(catalog);
  catalog.DetectTextDirection();
  int32_t x = 0, y = 0;
  for (const char16_t* dialog : {u"LAUNCHDLG", u"INFODLG"}) catalog.GetDialogScale(dialog, &x, &y);
  for (int i = 0; i < lookups; ++i) {
    Lookup(fdp, catalog);
    if (catalog.IsLoaded()) ValueAt(fdp, catalog);
  }
  return 0;
}
