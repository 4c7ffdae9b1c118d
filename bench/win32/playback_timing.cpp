// Timing of a real playback under Wine: 1,000 mouse moves 10 ms apart with 200
// clicks and 200 key strokes among them, at speeds 1 and 2. Prints the recorded
// span, the span the timing rules predict (each gap divided by the speed, plus
// the fixed injection pauses), the played span and their ratio, and the ratio
// of the played span to the prediction plus the time spent inside SendInput:
// the engine's own overhead. Asserts nothing.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "macro/macro_event.h"
#include "playback/input_synth.h"
#include "playback/input_synth_win.h"
#include "playback/playback.h"
#include "playback/playback_loop.h"
#include "settings/settings.h"

namespace {

LARGE_INTEGER frequency;
std::vector<LARGE_INTEGER> sendTimes;
LONGLONG ticksInSendInput;
int deliverInput = 1;  // 0: the inputs are counted and timed but not handed to the system

// Passes every input on to the system and notes when it went and how long the
// system took to take it.
UINT WINAPI TimedSendInput(UINT count, LPINPUT inputs, int size) {
    LARGE_INTEGER now, after;
    QueryPerformanceCounter(&now);
    sendTimes.push_back(now);
    UINT sent = deliverInput ? SendInput(count, inputs, size) : count;
    QueryPerformanceCounter(&after);
    ticksInSendInput += after.QuadPart - now.QuadPart;
    return sent;
}

std::vector<MacroEvent> BuildMacro() {
    std::vector<MacroEvent> events;
    for (uint32_t i = 0; i < 1000; ++i) {
        uint32_t t = 10 * i;
        int32_t x = 100 + (int32_t)(i % 500), y = 100 + (int32_t)(i % 300);
        events.push_back({msg::MouseMove, (uint32_t)x, (uint32_t)y, t, 0});
        if (i % 5 == 0) {
            events.push_back({msg::KeyDown, VK_SHIFT, 0x2A, t + 2, 0});
            events.push_back({msg::KeyUp, VK_SHIFT, 0x2A, t + 4, 0});
        } else if (i % 5 == 2) {
            events.push_back({msg::LButtonDown, (uint32_t)x, (uint32_t)y, t + 3, 0});
            events.push_back({msg::LButtonUp, (uint32_t)x, (uint32_t)y, t + 6, 0});
        }
    }
    return events;
}

// From the first record's input to the last one's: the scaled gaps plus the
// fixed pauses that lie between those two inputs.
double PredictedMs(const std::vector<MacroEvent>& events, float speed) {
    const VirtualScreen screen = {0, 0, 1280, 1024};
    uint64_t total = 0;
    for (size_t j = 0; j < events.size(); ++j) {
        if (j > 0 && events[j].time > events[j - 1].time)
            total += ScaleGap(events[j].time - events[j - 1].time, speed);
        SynthPlan plan;
        if (IsKeyMessage(events[j].message))
            PlanKeyEvent(events[j].message, events[j].paramL, 0, 0, &plan);
        else
            PlanMouseEvent(events[j].message, 0, 0, 0, screen, &plan);
        // Pauses before a record's input count from the second record on, pauses
        // after it up to the one before last.
        bool sent = false;
        for (int s = 0; s < plan.count; ++s) {
            if (plan.steps[s].kind == SynthStepKind::Send) sent = true;
            if (plan.steps[s].kind != SynthStepKind::Sleep) continue;
            if ((!sent && j > 0) || (sent && j + 1 < events.size())) total += plan.steps[s].ms;
        }
    }
    return (double)total;
}

}  // namespace

int main() {
    QueryPerformanceFrequency(&frequency);
    std::vector<MacroEvent> events = BuildMacro();
    SetInputSink(TimedSendInput);
    printf("macro: %u records (1,000 moves, 200 clicks, 200 key strokes), recorded span %u ms\n",
           (unsigned)events.size(), events.back().time - events.front().time);
    const struct { int deliver; float speed; const char* heading; } runs[] = {
        {1, 1.0f, "inputs delivered to the system:"},
        {1, 2.0f, nullptr},
        {0, 1.0f, "inputs dropped before SendInput (the engine's own timing):"},
        {0, 2.0f, nullptr},
        {0, 0.0f, "no gaps at all (speed 0), inputs dropped: the per-record cost beyond the fixed pauses:"},
    };
    for (const auto& run : runs) {
        float speed = run.speed;
        deliverInput = run.deliver;
        if (run.heading) printf("%s\n", run.heading);
        PlaybackSpeed = speed;
        sendTimes.clear();
        ticksInSendInput = 0;
        sendTimes.reserve(4 * events.size());
        if (!StartPlayback(events.data(), (int)events.size())) {
            printf("speed %.0f: playback did not start\n", speed);
            return 1;
        }
        // sendTimes[0] is the release at the start; the pass's own inputs follow.
        while (IsPlaying()) Sleep(20);
        Sleep(100);
        // One input per record here (no double-clicks), then the end-of-pass release.
        if (sendTimes.size() != events.size() + 2) {
            printf("speed %.0f: %u inputs for %u records\n", speed, (unsigned)sendTimes.size(),
                   (unsigned)events.size());
            return 1;
        }
        size_t first = 1, last = sendTimes.size() - 2;
        double played = double(sendTimes[last].QuadPart - sendTimes[first].QuadPart) * 1000.0 /
                        double(frequency.QuadPart);
        double predicted = PredictedMs(events, speed);
        double injecting = double(ticksInSendInput) * 1000.0 / double(frequency.QuadPart);
        // The engine's own overhead: what is left once the waits it was asked for
        // and the time the system took to take the input are accounted for.
        printf("  speed %.0f: predicted %.0f ms, played %.0f ms, ratio %.4f (inside SendInput %.0f ms; "
               "%.3f ms per record beyond the prediction); played / (predicted + SendInput) %.4f\n",
               speed, predicted, played, played / predicted, injecting,
               (played - predicted) / double(events.size() - 1), played / (predicted + injecting));
    }
    SetInputSink(nullptr);
    return 0;
}
