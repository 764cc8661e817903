// Crc32 beside zlib's crc32 on the same aligned data, size by size; after the
// usual table a summary gives the ratio of CPU times (zlib / Crc32: above 1
// means Crc32 is faster). CPU time, because a busy machine inflates real time.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "base/crc32.h"

namespace {

const std::vector<unsigned char>& Data() {
  static const std::vector<unsigned char> data = [] {
    std::vector<unsigned char> bytes((1 << 20) + 64);
    uint32_t seed = 1;
    for (auto& b : bytes) {
      seed = seed * 1664525u + 1013904223u;
      b = static_cast<unsigned char>(seed >> 24);
    }
    return bytes;
  }();
  return data;
}

const unsigned char* Aligned() {
  const unsigned char* p = Data().data();
  return p + ((64 - (reinterpret_cast<uintptr_t>(p) & 63)) & 63);
}

void BM_Crc32(benchmark::State& state) {
  const unsigned char* p = Aligned();
  const uint64_t n = static_cast<uint64_t>(state.range(0));
  uint32_t crc = 0xFFFFFFFFu;
  for (auto _ : state) {
    crc = Crc32(crc, p, n);
    benchmark::DoNotOptimize(crc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_Zlib(benchmark::State& state) {
  const unsigned char* p = Aligned();
  const uInt n = static_cast<uInt>(state.range(0));
  uLong crc = 0;
  for (auto _ : state) {
    crc = crc32(crc, p, n);
    benchmark::DoNotOptimize(crc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int64_t n : {16, 64, 256, 4096, 1 << 20}) b->Arg(n);
}
BENCHMARK(BM_Crc32)->Apply(Sizes);
BENCHMARK(BM_Zlib)->Apply(Sizes);

// The console table, then per size the two times and their ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // With repetitions, the median stands for the size.
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if ((run.run_type != Run::RT_Iteration && !median) || run.error_occurred) {
        continue;
      }
      const long size = std::stol(run.run_name.args);
      const double ns = run.GetAdjustedCPUTime() * Nanoseconds(run.time_unit);
      if (run.run_name.function_name == "BM_Crc32") crc32Ns_[size] = ns;
      if (run.run_name.function_name == "BM_Zlib") zlibNs_[size] = ns;
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%10s %12s %12s %10s %14s\n", "bytes", "Crc32 ns", "zlib ns", "ratio",
                "Crc32 GB/s");
    for (const auto& [size, ns] : crc32Ns_) {
      const auto other = zlibNs_.find(size);
      if (other == zlibNs_.end()) continue;
      std::printf("%10ld %12.1f %12.1f %9.2fx %14.2f\n", size, ns, other->second,
                  other->second / ns, static_cast<double>(size) / ns);
    }
  }

 private:
  static double Nanoseconds(benchmark::TimeUnit unit) {
    switch (unit) {
      case benchmark::kSecond:
        return 1e9;
      case benchmark::kMillisecond:
        return 1e6;
      case benchmark::kMicrosecond:
        return 1e3;
      default:
        return 1.0;
    }
  }
  std::map<long, double> crc32Ns_;
  std::map<long, double> zlibNs_;
};

}  // namespace

int main(int argc, char** argv) {
  InitCrcTables();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
