// What keeping a log safe from a power cut costs the log writer thread: one
// chunk of a busy bus (4 devices x 20 signals at 100 Hz over 100 ms, 800
// frames) written and flushed to the operating system, as every chunk is,
// and the same followed by a sync to the storage, which the writer does at
// most once a second. The sync's time per call is its cost per second of
// logging.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "CountingAllocator.hpp"
#include "wisp/ChunkBuilder.hpp"
#include "wisp/WispFileWriter.hpp"

namespace wisp = kvor::zephrin::runtime::wisp;

namespace {

wisp::ChunkBuilder BusyChunk() {
  wisp::ChunkBuilder chunk;
  for (int frame = 0; frame < 10; ++frame) {
    for (uint32_t device = 0; device < 4; ++device) {
      for (uint16_t signal = 0; signal < 20; ++signal) {
        const double t = 1.0 + frame * 0.01;
        chunk.AddFrame({0x1000 + device, static_cast<uint16_t>(2000 + signal),
                        {t * signal + device, t, t, t, 0, static_cast<uint16_t>(2000 + signal)}});
      }
    }
  }
  return chunk;
}

void WriteChunks(benchmark::State& state, bool sync) {
  const std::string path = "/tmp/zephrin_bench_durability_" + std::to_string(::getpid()) + ".wisp";
  wisp::WispFileWriter writer;
  if (!writer.Open(path, 1.0, 0)) {
    state.SkipWithError("the scratch log cannot be created");
    return;
  }
  const wisp::ChunkBuilder chunk = BusyChunk();
  for (auto _ : state) {
    benchmark::DoNotOptimize(writer.WriteChunk(chunk));
    if (sync) benchmark::DoNotOptimize(writer.Sync());
  }
  state.counters["chunk_bytes"] = static_cast<double>(writer.BytesWritten()) / static_cast<double>(state.iterations());
  writer.Close();
  std::remove(path.c_str());
}

void BM_ChunkWriteAndFlush(benchmark::State& state) { WriteChunks(state, false); }
BENCHMARK(BM_ChunkWriteAndFlush)->Unit(benchmark::kMicrosecond);

void BM_ChunkWriteFlushAndSync(benchmark::State& state) { WriteChunks(state, true); }
BENCHMARK(BM_ChunkWriteFlushAndSync)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
