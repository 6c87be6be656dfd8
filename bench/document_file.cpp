// Saving and loading a whole bank through a real file (atomic save with fsync, then a
// load of the saved file), and the in-memory encode/decode without the disk.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "document/file/OvkFile.h"

namespace {

std::string benchFilePath() {
    std::random_device random;
    return (std::filesystem::temp_directory_path() / ("kv-bench-" + std::to_string(random()) + ".ovk"))
        .string();
}

void BM_SaveLoadRoundTrip(benchmark::State& state) {
    const std::string path = benchFilePath();
    kv::CKorvaliserDoc doc;
    doc.setGain(0, 140);
    kv::CKorvaliserDoc loaded;
    for (auto _ : state) {
        if (!kv::saveDocument(doc, path).ok || !kv::loadDocument(loaded, path).ok) {
            state.SkipWithError("save or load failed");
            break;
        }
        benchmark::DoNotOptimize(loaded.bank());
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 2 *
                            static_cast<std::int64_t>(kv::kOvkFileSize));
}
BENCHMARK(BM_SaveLoadRoundTrip)->Unit(benchmark::kMicrosecond);

void BM_EncodeDecodeInMemory(benchmark::State& state) {
    kv::CKorvaliserDoc doc;
    kv::CKorvaliserDoc loaded;
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = kv::encodeDocument(doc);
        if (!kv::decodeDocument(loaded, bytes, "bench.ovk").ok) {
            state.SkipWithError("decode failed");
            break;
        }
        benchmark::DoNotOptimize(loaded.bank());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 2 *
                            static_cast<std::int64_t>(kv::kOvkFileSize));
}
BENCHMARK(BM_EncodeDecodeInMemory)->Unit(benchmark::kMicrosecond);

}  // namespace
