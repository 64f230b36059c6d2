#include "MixedCorpus.h"
#include "archive/QDStreamRoutines.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using tessum::TMemoryStream;

const tessum::bench::Bytes& Corpus() {
    static const auto corpus = tessum::bench::MixedCorpus();
    return corpus;
}

tessum::bench::Bytes Packed() {
    TMemoryStream src(Corpus());
    TMemoryStream dst;
    tessum::CompressStream(src, dst);
    return dst.Bytes();
}

void BM_Compress(benchmark::State& State) {
    TMemoryStream src(Corpus());
    std::size_t packed = 0;
    for (auto _ : State) {
        src.SetPosition(0);
        TMemoryStream dst;
        tessum::CompressStream(src, dst);
        packed = static_cast<std::size_t>(dst.Size());
        benchmark::DoNotOptimize(dst.Memory());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Corpus().size()));
    State.counters["packed_bytes"] = static_cast<double>(packed);
}
BENCHMARK(BM_Compress)->Unit(benchmark::kMillisecond);

void BM_Decompress(benchmark::State& State) {
    TMemoryStream src(Packed());
    for (auto _ : State) {
        src.SetPosition(0);
        TMemoryStream dst;
        tessum::DecompressStream(src, dst);
        benchmark::DoNotOptimize(dst.Memory());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Corpus().size()));
}
BENCHMARK(BM_Decompress)->Unit(benchmark::kMillisecond);

// Size against the other -lh5- encoder on the machine (jlha), on the same
// corpus: both sizes are of the bit stream alone, without headers.
void BM_CompressedSizeVsJlha(benchmark::State& State) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "tessum_bench_jlha";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const auto& corpus = Corpus();
    std::ofstream(dir / "corpus.bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(corpus.data()), static_cast<std::streamsize>(corpus.size()));
    const std::string cmd = "cd '" + dir.string() + "' && jlha co52q corpus.lzh corpus.bin >/dev/null 2>&1";
    std::ifstream lzh;
    if (std::system(cmd.c_str()) == 0) lzh.open(dir / "corpus.lzh", std::ios::binary);
    std::string archive((std::istreambuf_iterator<char>(lzh)), {});
    fs::remove_all(dir);
    // Level-2 header: method at 2, packed size at 7.
    if (archive.size() < 22 || archive.compare(2, 5, "-lh5-") != 0) {
        State.SkipWithError("jlha did not produce an -lh5- archive");
        return;
    }
    std::uint32_t theirs = 0;
    for (int i = 3; i >= 0; --i) theirs = (theirs << 8) | static_cast<std::uint8_t>(archive[7 + static_cast<std::size_t>(i)]);
    const double ours = static_cast<double>(Packed().size() - 4);
    for (auto _ : State) benchmark::DoNotOptimize(theirs);
    State.counters["ours_bytes"] = ours;
    State.counters["jlha_bytes"] = theirs;
    State.counters["ours_vs_jlha_pct"] = 100.0 * (ours - theirs) / theirs;
}
BENCHMARK(BM_CompressedSizeVsJlha)->Iterations(1);

}  // namespace
