// Speed of the player source generator on a 1,000,000-event recording: the
// text step alone (to /dev/null) and the whole file-to-file call.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "compile/player_stub.h"
#include "macro/macro_event.h"

namespace {

std::vector<unsigned char> MakeImage(int32_t count) {
    std::vector<unsigned char> image(4 + static_cast<size_t>(count) * sizeof(MacroEvent));
    memcpy(image.data(), &count, 4);
    uint32_t seed = 12345;
    for (size_t i = 4; i < image.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        image[i] = static_cast<unsigned char>(seed >> 16);
    }
    return image;
}

// Input megabytes per second; the text written is about 5.3 times larger.
void BM_StubText(benchmark::State& state) {
    const std::vector<unsigned char> image = MakeImage(static_cast<int32_t>(state.range(0)));
    FILE* sink = fopen("/dev/null", "w");
    for (auto _ : state) WritePlayerStubText(sink, image.data(), static_cast<int32_t>(image.size()));
    fclose(sink);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(image.size()));
}
BENCHMARK(BM_StubText)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_WritePlayerStub(benchmark::State& state) {
    const std::vector<unsigned char> image = MakeImage(static_cast<int32_t>(state.range(0)));
    char recPath[] = "/tmp/quorrel_stub_bench_XXXXXX";
    int fd = mkstemp(recPath);
    if (fd < 0 || write(fd, image.data(), image.size()) != static_cast<ssize_t>(image.size())) {
        state.SkipWithError("cannot write the recording");
        return;
    }
    close(fd);
    const std::string stubPath = std::string(recPath) + ".c";
    for (auto _ : state) {
        if (!WritePlayerStub(recPath, stubPath.c_str(), nullptr)) {
            state.SkipWithError("WritePlayerStub failed");
            break;
        }
    }
    unlink(stubPath.c_str());
    unlink(recPath);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(image.size()));
}
BENCHMARK(BM_WritePlayerStub)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
