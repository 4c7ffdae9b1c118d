// Throughput of saving and loading a 1,000,000-event .rec file, and the cost of
// one AppendEvent, measured under Wine. Prints figures; asserts nothing.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "macro/macro_buffer.h"
#include "macro/rec_file_win.h"

namespace {
double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}
}  // namespace

int main() {
    const int n = 1000000;
    const int rounds = 5;
    std::vector<MacroEvent> events(n);
    for (int i = 0; i < n; ++i) events[i] = {0x200, (uint32_t)i, (uint32_t)i, (uint32_t)i * 10, 0};
    char temp[MAX_PATH], path[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    snprintf(path, sizeof path, "%sbench_recfile.rec", temp);

    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    double mb = (4.0 + 20.0 * n) / (1024.0 * 1024.0);
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        QueryPerformanceCounter(&a);
        if (!SaveRecording(path, events.data(), n)) return 1;
        QueryPerformanceCounter(&b);
        if (Seconds(a, b, f) < best) best = Seconds(a, b, f);
    }
    printf("save 1,000,000 events (%.1f MB): %.1f ms, %.0f MB/s\n", mb, best * 1e3, mb / best);
    best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        int count = 0;
        QueryPerformanceCounter(&a);
        MacroEvent* loaded = LoadRecording(path, &count);
        QueryPerformanceCounter(&b);
        if (!loaded || count != n) return 1;
        free(loaded);
        if (Seconds(a, b, f) < best) best = Seconds(a, b, f);
    }
    printf("load 1,000,000 events (%.1f MB): %.1f ms, %.0f MB/s\n", mb, best * 1e3, mb / best);
    DeleteFileA(path);

    const int appends = 10000000;
    BeginBuffer(1000, 0);
    QueryPerformanceCounter(&a);
    for (int i = 0; i < appends; ++i) AppendEvent(0x200, i, i, i);
    QueryPerformanceCounter(&b);
    printf("AppendEvent: %.2f ns per event (10,000,000 appends, growth included)\n",
           Seconds(a, b, f) * 1e9 / appends);
    ClearBuffer();
    return 0;
}
