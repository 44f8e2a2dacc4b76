// Decode throughput of the two packing methods on the same data: LZ
// (methods 2 and 3) and raw deflate (method 4); the MB counter reads as
// megabytes of unpacked output per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

#include "platform/mem.h"
#include "platform/pak.h"
#include "tools/datakit/lib/pak_writer.h"

namespace {

// Asset-like data: runs, repeated records with small changes, some noise.
const datakit::Bytes& Sample() {
  static const datakit::Bytes data = [] {
    std::mt19937 rng(7);
    datakit::Bytes b;
    while (b.size() < (4u << 20)) {
      switch (rng() % 3) {
        case 0: b.insert(b.end(), 16 + rng() % 200, static_cast<uint8_t>(rng() % 8)); break;
        case 1:
          for (int i = 0; i < 52; ++i) b.push_back(static_cast<uint8_t>(i * 3 + (rng() % 4)));
          break;
        default:
          for (int i = 0; i < 24; ++i) b.push_back(static_cast<uint8_t>(rng()));
      }
    }
    return b;
  }();
  return data;
}

void Decode(benchmark::State& state, uint8_t method, const datakit::Bytes& packed) {
  MemPoolInit();
  const datakit::Bytes& data = Sample();
  std::vector<uint8_t> out(data.size());
  for (auto _ : state) {
    int ok = UnpackBlock(method, packed.data(), out.data(), static_cast<uint32_t>(packed.size()),
                         static_cast<uint32_t>(data.size()));
    if (!ok) state.SkipWithError(PakLastError());
    benchmark::DoNotOptimize(out.data());
  }
  if (out != data) state.SkipWithError("decoded bytes differ");
  state.counters["MB"] =
      benchmark::Counter(static_cast<double>(data.size()) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["ratio"] = static_cast<double>(packed.size()) / static_cast<double>(data.size());
}

void BM_DecodeLz(benchmark::State& state) {
  static const datakit::Bytes packed = datakit::LzEncode(Sample());
  Decode(state, PAK_METHOD_LZ, packed);
}

void BM_DecodeDeflate(benchmark::State& state) {
  static const datakit::Bytes packed = datakit::DeflateRaw(Sample());
  Decode(state, PAK_METHOD_DEFLATE, packed);
}

BENCHMARK(BM_DecodeLz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeDeflate)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
