// The catalog at its largest: loading, indexing and sorting a full UTF-16
// catalog of about 8,000 entries, a lookup that hits, one that misses and
// falls back to the linear scan, and the heap a loaded catalog keeps.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <string>

#include "base/bounded_text.h"
#include "localization/catalog_text.h"
#include "localization/message_catalog.h"

namespace {
constexpr int kEntries = 8000;

std::u16string SourceText(int i) {
  const std::string ascii = "Text " + std::to_string(i);
  return std::u16string(ascii.begin(), ascii.end());
}

// Marker line, then entries "key="value"" CR LF, padded with one comment line
// to exactly 524,288 bytes: the most the loader reads.
const std::string& FullCatalog() {
  static const std::string file = [] {
    std::u16string text = u"***messages*** bench\r\n";
    for (int i = 0; i < kEntries; ++i) {
      char16_t key[kKeyCapacity];
      FormCatalogKey(SystemAnsi, kStringText, nullptr, SourceText(i).c_str(), key);
      text += std::u16string(key) + u"=\"Uebersetzt " + SourceText(i).substr(5) + u"\"\r\n";
    }
    text += u";";
    text.resize(kMaxCatalogUnits, u'.');
    std::string bytes;
    for (char16_t c : text) {
      bytes += static_cast<char>(c & 0xFF);
      bytes += static_cast<char>(c >> 8);
    }
    return bytes;
  }();
  return file;
}

size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

void LoadIndexSort(benchmark::State& state) {
  const std::string& file = FullCatalog();
  uint64_t entries = 0;
  for (auto _ : state) {
    MessageCatalog catalog;
    catalog.LoadFromBytes(file.data(), file.size());
    entries = catalog.Index().count;
    benchmark::DoNotOptimize(catalog.Text());
  }
  state.counters["entries"] = static_cast<double>(entries);
  state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(LoadIndexSort)->Unit(benchmark::kMillisecond);

void Lookup(benchmark::State& state, const std::u16string& source) {
  MessageCatalog catalog;
  catalog.LoadFromBytes(FullCatalog().data(), FullCatalog().size());
  char16_t result[kFetchCapacity];
  for (auto _ : state) {
    catalog.Translate(source.c_str(), result, kFetchCapacity, kStringText, nullptr);
    benchmark::DoNotOptimize(result);
  }
  if (source == SourceText(kEntries / 2) && result[0] != u'U') state.SkipWithError("no hit");
}

void TranslateHit(benchmark::State& state) { Lookup(state, SourceText(kEntries / 2)); }
BENCHMARK(TranslateHit)->Unit(benchmark::kNanosecond);

void TranslateMiss(benchmark::State& state) { Lookup(state, u"Not in the catalog"); }
BENCHMARK(TranslateMiss)->Unit(benchmark::kMicrosecond);

// What loading leaves on the heap, against the text buffer and the index.
void HeapAfterLoad(benchmark::State& state) {
  for (auto _ : state) {
    const size_t before = HeapInUse();
    MessageCatalog catalog;
    catalog.LoadFromBytes(FullCatalog().data(), FullCatalog().size());
    const size_t kept = HeapInUse() - before;
    const double expected =
        static_cast<double>(kBodyBufferBytes) + static_cast<double>(catalog.Index().capacity * 8);
    state.counters["heap_bytes"] = static_cast<double>(kept);
    state.counters["text_plus_index"] = expected;
    state.counters["index_capacity"] = static_cast<double>(catalog.Index().capacity);
  }
}
BENCHMARK(HeapAfterLoad)->Iterations(1);
}  // namespace

BENCHMARK_MAIN();
