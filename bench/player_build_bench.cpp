// What building a player costs by macro size: the source generation, the run
// of the real MinGW cross compiler with the build's options, and the size of
// the player it makes. The build gives the compiler 30 s; the Large cases
// (400,000 to 800,000 events, two minutes or more in all) bracket the largest
// macro that fits in that on this machine: --benchmark_filter=Large. The
// compiler needs about 3 KB of memory per event (2.3 GB at 800,000).
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "compile/player_stub.h"
#include "macro/macro_event.h"

namespace {

constexpr char kCrossCompiler[] = "i686-w64-mingw32-gcc";

// A plausible mix: mouse moves with clicks and key strokes among them.
bool WriteRecording(const char* path, int32_t count) {
    std::vector<MacroEvent> events(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t t = static_cast<uint32_t>(i) * 8;
        switch (i % 10) {
        case 3: events[i] = {0x201, 400, 300, t, 0}; break;
        case 4: events[i] = {0x202, 400, 300, t, 0}; break;
        case 7: events[i] = {0x100, 'A' + static_cast<uint32_t>(i % 26), 0x1E, t, 0}; break;
        case 8: events[i] = {0x101, 'A' + static_cast<uint32_t>(i % 26), 0x801E, t, 0}; break;
        default: events[i] = {0x200, static_cast<uint32_t>(i % 1280), static_cast<uint32_t>(i % 1024), t, 0};
        }
    }
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    bool ok = fwrite(&count, 4, 1, f) == 1 && fwrite(events.data(), sizeof(MacroEvent), events.size(), f) == events.size();
    return fclose(f) == 0 && ok;
}

void BM_BuildPlayer(benchmark::State& state) {
    if (system("command -v i686-w64-mingw32-gcc >/dev/null 2>&1") != 0) {
        state.SkipWithError("no cross compiler");
        return;
    }
    const int32_t count = static_cast<int32_t>(state.range(0));
    char dir[] = "/tmp/quorrel_build_bench_XXXXXX";
    if (!mkdtemp(dir) || !WriteRecording((std::string(dir) + "/m.rec").c_str(), count)) {
        state.SkipWithError("cannot write the recording");
        return;
    }
    const std::string rec = std::string(dir) + "/m.rec", source = std::string(dir) + "/m.c",
                      exe = std::string(dir) + "/m.exe";
    const std::string command = std::string(kCrossCompiler) + " \"" + source + "\" -o \"" + exe +
                                "\" -mwindows -s -Os -luser32";
    double stubMs = 0, compileMs = 0, playerBytes = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        if (!WritePlayerStub(rec.c_str(), source.c_str(), nullptr)) {
            state.SkipWithError("WritePlayerStub failed");
            break;
        }
        const auto t1 = std::chrono::steady_clock::now();
        const int status = system(command.c_str());
        const auto t2 = std::chrono::steady_clock::now();
        if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the compiler failed");
            break;
        }
        struct stat st;
        playerBytes = stat(exe.c_str(), &st) == 0 ? static_cast<double>(st.st_size) : 0;
        stubMs = std::chrono::duration<double, std::milli>(t1 - t0).count();
        compileMs = std::chrono::duration<double, std::milli>(t2 - t1).count();
        state.SetIterationTime(std::chrono::duration<double>(t2 - t0).count());
    }
    state.counters["stub_ms"] = stubMs;
    state.counters["compile_s"] = compileMs / 1000.0;
    state.counters["player_KB"] = playerBytes / 1024.0;
    state.counters["within_30s"] = compileMs < 30000.0 ? 1 : 0;
    unlink(exe.c_str());
    unlink(source.c_str());
    unlink(rec.c_str());
    rmdir(dir);
}
BENCHMARK(BM_BuildPlayer)->Arg(1000)->Arg(10000)->Arg(100000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_BuildPlayer)->Name("BM_BuildPlayerLarge")->Arg(400000)->Arg(500000)->Arg(600000)->Arg(700000)->Arg(800000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
