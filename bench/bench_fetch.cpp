// The chunked fetch through a scripted response with a host that does not
// wait: what the fetch adds per 2240-byte chunk over bare reads of the same
// response into a buffer of the same size.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "download/fetch.h"
#include "tests/core/fake_net.h"

namespace {

class QuietHost final : public FetchHost {
 public:
  void show() override { benchmark::ClobberMemory(); }
  void drain_and_wait() override {}
  void pause(unsigned) override {}
  void info_box(const std::string&, const std::string&) override {}
  bool write_file(const std::string&, const char* bytes, std::size_t count) override {
    benchmark::DoNotOptimize(bytes);
    benchmark::DoNotOptimize(count);
    return true;
  }
};

Response known_length(std::size_t size) { return Response().length(std::to_string(size)).body(size).positionable(); }

void set_chunk_counter(benchmark::State& state, std::size_t size) {
  const double chunks = static_cast<double>((size + kChunkSize - 1) / kChunkSize);
  state.counters["per_chunk"] =
      benchmark::Counter(chunks, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ChunkedFetch(benchmark::State& state) {
  const std::size_t size = static_cast<std::size_t>(state.range(0));
  Response connection = known_length(size);  // every fetch positions it at 0 first
  DownloadState download;
  QuietHost host;
  for (auto _ : state) {
    if (fetch(connection, host, download, "http://127.0.0.1/file.bin", "Tulvex_files\\file.bin") != 1) {
      state.SkipWithError("fetch failed");
      break;
    }
  }
  set_chunk_counter(state, size);
}

// The floor: the same positioned reads straight into a fresh buffer.
void BM_BareChunkedReads(benchmark::State& state) {
  const std::size_t size = static_cast<std::size_t>(state.range(0));
  Response connection = known_length(size);
  for (auto _ : state) {
    std::unique_ptr<char[]> whole(new char[size < kNormSize ? kNormSize : size]);
    std::uint32_t kept = 0;
    for (;;) {
      connection.set_position(kept);
      const Connection::Read read = connection.read(whole.get() + kept, kChunkSize);
      kept += read.count;
      if (read.count < kChunkSize) break;
    }
    benchmark::DoNotOptimize(whole.get());
  }
  set_chunk_counter(state, size);
}

BENCHMARK(BM_ChunkedFetch)->Arg(50000)->Arg(2 << 20)->Arg(20 << 20);
BENCHMARK(BM_BareChunkedReads)->Arg(50000)->Arg(2 << 20)->Arg(20 << 20);

}  // namespace
