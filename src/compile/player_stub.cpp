#include "compile/player_stub.h"

#include <cstdlib>
#include <cstring>

#include "base/format_text.h"
#include "macro/macro_event.h"

namespace {

constexpr int kBytesPerLine = 16;

constexpr char kHeader[] =
    "/* Auto-generated Quorrel Player */\n"
    "#include <windows.h>\n\n"
    "static unsigned char g_macroData[] = {\n    ";

constexpr char kArrayClose[] = "\n};\n\n";

// The replay code is the same for every recording. It reads the records through
// a 20-byte record of its own, so that a 32-bit and a 64-bit gcc build the same
// player. It leaves nothing held, and it places moves on the virtual desktop and
// the pointer before a button as the program's own playback does
// (input_synth.cpp, playback_loop.cpp).
constexpr char kPlayerCode[] =
    "static UINT SimulateMouse(UINT msg, int x, int y, DWORD extra) {\n"
    "    /* How many inputs the system took: none on the lock screen or a secure\n"
    "       desktop (the key's twin below answers the same). */\n"
    "    INPUT input;\n"
    "    int left;\n"
    "    int top;\n"
    "    int width;\n"
    "    int height;\n"
    "    LONGLONG scaled;\n"
    "    ZeroMemory(&input, sizeof(input));\n"
    "    input.type = INPUT_MOUSE;\n"
    "    /* The whole virtual desktop, read afresh: monitors come and go. */\n"
    "    left = GetSystemMetrics(SM_XVIRTUALSCREEN);\n"
    "    top = GetSystemMetrics(SM_YVIRTUALSCREEN);\n"
    "    width = GetSystemMetrics(SM_CXVIRTUALSCREEN);\n"
    "    height = GetSystemMetrics(SM_CYVIRTUALSCREEN);\n"
    "    /* The system maps a value back as left + ((dx * width) >> 16), so the\n"
    "       exact ceiling of the inverse lands on the pixel itself. Division\n"
    "       truncates toward zero, which is the ceiling below zero already. */\n"
    "    if (width > 0) {\n"
    "        scaled = ((LONGLONG)x - left) * 65536;\n"
    "        input.mi.dx = (LONG)(scaled / width + (scaled > 0 && scaled % width != 0));\n"
    "    }\n"
    "    if (height > 0) {\n"
    "        scaled = ((LONGLONG)y - top) * 65536;\n"
    "        input.mi.dy = (LONG)(scaled / height + (scaled > 0 && scaled % height != 0));\n"
    "    }\n"
    "    switch (msg) {\n"
    "    case WM_MOUSEMOVE:\n"
    "        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;\n"
    "        break;\n"
    "    case WM_LBUTTONDOWN:\n"
    "        input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;\n"
    "        break;\n"
    "    case WM_LBUTTONUP:\n"
    "        input.mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;\n"
    "        break;\n"
    "    case WM_RBUTTONDOWN:\n"
    "        input.mi.dwFlags = MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_ABSOLUTE;\n"
    "        break;\n"
    "    case WM_RBUTTONUP:\n"
    "        input.mi.dwFlags = MOUSEEVENTF_RIGHTUP | MOUSEEVENTF_ABSOLUTE;\n"
    "        break;\n"
    "    case WM_MBUTTONDOWN:\n"
    "        input.mi.dwFlags = MOUSEEVENTF_MIDDLEDOWN | MOUSEEVENTF_ABSOLUTE;\n"
    "        break;\n"
    "    case WM_MBUTTONUP:\n"
    "        input.mi.dwFlags = MOUSEEVENTF_MIDDLEUP | MOUSEEVENTF_ABSOLUTE;\n"
    "        break;\n"
    "    case WM_MOUSEWHEEL:\n"
    "        input.mi.dwFlags = MOUSEEVENTF_WHEEL | MOUSEEVENTF_ABSOLUTE;\n"
    "        input.mi.mouseData = (DWORD)(LONG)(SHORT)HIWORD(extra);\n"
    "        break;\n"
    "    default:\n"
    "        return 1;\n"
    "    }\n"
    "    return SendInput(1, &input, sizeof(INPUT));\n"
    "}\n"
    "\n"
    "static UINT SimulateKey(UINT msg, UINT vk, UINT scan, UINT flags) {\n"
    "    INPUT input;\n"
    "    ZeroMemory(&input, sizeof(input));\n"
    "    input.type = INPUT_KEYBOARD;\n"
    "    input.ki.wVk = (WORD)(vk & 0xFFFF);\n"
    "    input.ki.wScan = (WORD)(scan & 0xFFFF);\n"
    "    if (msg == WM_KEYUP || msg == WM_SYSKEYUP) {\n"
    "        input.ki.dwFlags |= KEYEVENTF_KEYUP;\n"
    "    }\n"
    "    if (flags & 0x01) {\n"
    "        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;\n"
    "    }\n"
    "    return SendInput(1, &input, sizeof(INPUT));\n"
    "}\n"
    "\n"
    "int WINAPI WinMain(HINSTANCE h, HINSTANCE p, LPSTR c, int s) {\n"
    "    /* The recording's own record: EVENTMSG has it only in a 32-bit build. */\n"
    "    typedef struct {\n"
    "        DWORD message;\n"
    "        DWORD paramL;\n"
    "        DWORD paramH;\n"
    "        DWORD time;\n"
    "        DWORD hwnd;\n"
    "    } Record;\n"
    "    int count = *(int*)g_macroData;\n"
    "    Record* events = (Record*)(g_macroData + 4);\n"
    "    DWORD lastTime = 0;\n"
    "    int i;\n"
    "    int look;\n"
    "    /* For each key, and the buttons as VK_LBUTTON, VK_RBUTTON and VK_MBUTTON,\n"
    "       that the macro has pressed and not released: 1 + the index of the event\n"
    "       that pressed it. Event order is press order, for the release at the end. */\n"
    "    int pressedBy[256];\n"
    "    /* 1 while the macro holds Esc, 2 from its release until Esc is seen up:\n"
    "       then a down Esc is the macro's own and not the user's stop. */\n"
    "    int ownEscape = 0;\n"
    "    UINT vk;\n"
    "    int down = 0;\n"
    "    UINT taken;\n"
    "    UINT k;\n"
    "    /* Found at run time: none is in every Windows, nor in user32 alone.\n"
    "       winmm comes from the system folder by its full path: looked for by\n"
    "       name, one in the player's own folder would be taken first. */\n"
    "    HMODULE user32 = GetModuleHandleA(\"user32.dll\");\n"
    "    HMODULE kernel32 = GetModuleHandleA(\"kernel32.dll\");\n"
    "    HMODULE winmm = NULL;\n"
    "    char winmmPath[MAX_PATH + 16];\n"
    "    UINT systemLength = GetSystemDirectoryA(winmmPath, MAX_PATH);\n"
    "    BOOL (WINAPI *setInformation)(HANDLE, int, LPVOID, DWORD) = NULL;\n"
    "    ULONG throttling[3] = {1, 4, 0};\n"
    "    BOOL (WINAPI *awareContext)(HANDLE) = NULL;\n"
    "    BOOL (WINAPI *aware)(void) = NULL;\n"
    "    UINT (WINAPI *beginPeriod)(UINT) = NULL;\n"
    "    UINT (WINAPI *endPeriod)(UINT) = NULL;\n"
    "    ZeroMemory(pressedBy, sizeof(pressedBy));\n"
    "    if (systemLength > 0 && systemLength < MAX_PATH) {\n"
    "        lstrcpyA(winmmPath + systemLength, \"\\\\winmm.dll\");\n"
    "        winmm = LoadLibraryExA(winmmPath, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);\n"
    "    }\n"
    "    /* The recorded positions are physical pixels; a DPI-unaware process is\n"
    "       handed scaled metrics and a scaled pointer. (HANDLE)-4 is per-monitor\n"
    "       awareness, version 2. */\n"
    "    if (user32) {\n"
    "        awareContext = (BOOL (WINAPI *)(HANDLE))GetProcAddress(user32, \"SetProcessDpiAwarenessContext\");\n"
    "        aware = (BOOL (WINAPI *)(void))GetProcAddress(user32, \"SetProcessDPIAware\");\n"
    "    }\n"
    "    if (!(awareContext && awareContext((HANDLE)-4)) && aware) {\n"
    "        aware();\n"
    "    }\n"
    "    /* Windows 11 keeps the 1 ms timer below from a process without a window\n"
    "       unless it opts out: class 4 is power throttling, version 1, the timer\n"
    "       resolution (4) in the control mask and none in the state mask. */\n"
    "    if (kernel32) {\n"
    "        setInformation = (BOOL (WINAPI *)(HANDLE, int, LPVOID, DWORD))GetProcAddress(kernel32, \"SetProcessInformation\");\n"
    "    }\n"
    "    if (setInformation) {\n"
    "        setInformation(GetCurrentProcess(), 4, throttling, sizeof(throttling));\n"
    "    }\n"
    "    /* Sleep rounds each wait up to the 15.6 ms clock tick unless the process\n"
    "       asks for 1 ms, which would stretch a path of small gaps. */\n"
    "    if (winmm) {\n"
    "        beginPeriod = (UINT (WINAPI *)(UINT))GetProcAddress(winmm, \"timeBeginPeriod\");\n"
    "        endPeriod = (UINT (WINAPI *)(UINT))GetProcAddress(winmm, \"timeEndPeriod\");\n"
    "    }\n"
    "    if (!beginPeriod || !endPeriod || beginPeriod(1) != 0) {\n"
    "        endPeriod = NULL;\n"
    "    }\n"
    "    Sleep(500); /* Brief delay before playback */\n"
    "    /* A hand still on the shortcut key that started the player would turn the\n"
    "       first records into shortcuts: up to 5 s for Ctrl, Shift, Alt and the\n"
    "       Windows keys to come up, with Esc looked at meanwhile. */\n"
    "    for (look = 0; look < 500 && ((GetAsyncKeyState(VK_CONTROL) | GetAsyncKeyState(VK_SHIFT) |\n"
    "                                   GetAsyncKeyState(VK_MENU) | GetAsyncKeyState(VK_LWIN) |\n"
    "                                   GetAsyncKeyState(VK_RWIN)) & 0x8000); look++) {\n"
    "        if (GetAsyncKeyState(VK_ESCAPE) & 0x8000) {\n"
    "            count = 0;\n"
    "            break;\n"
    "        }\n"
    "        Sleep(10);\n"
    "    }\n"
    "    for (i = 0; i < count; i++) {\n"
    "        Record* e = &events[i];\n"
    "        /* Esc is looked at before the gap and again after it: a stop held\n"
    "           through a long gap keeps the next record from going out. */\n"
    "        for (look = 0; look < 2; look++) {\n"
    "            if (GetAsyncKeyState(VK_ESCAPE) & 0x8000) {\n"
    "                if (!ownEscape) {\n"
    "                    break;\n"
    "                }\n"
    "            } else if (ownEscape == 2) {\n"
    "                ownEscape = 0;\n"
    "            }\n"
    "            if (look == 0 && i > 0 && e->time > lastTime) {\n"
    "                Sleep(e->time - lastTime);\n"
    "            }\n"
    "        }\n"
    "        if (look < 2) {\n"
    "            break;\n"
    "        }\n"
    "        lastTime = e->time;\n"
    "        vk = 0;\n"
    "        taken = 1;\n"
    "        switch (e->message) {\n"
    "        case WM_MOUSEMOVE:\n"
    "            taken = SimulateMouse(e->message, (int)e->paramL, (int)e->paramH, 0);\n"
    "            break;\n"
    "        case WM_LBUTTONDOWN:\n"
    "        case WM_LBUTTONUP:\n"
    "        case WM_RBUTTONDOWN:\n"
    "        case WM_RBUTTONUP:\n"
    "        case WM_MBUTTONDOWN:\n"
    "        case WM_MBUTTONUP:\n"
    "            /* A button carries no move: it acts where the pointer is. */\n"
    "            SetCursorPos((int)e->paramL, (int)e->paramH);\n"
    "            taken = SimulateMouse(e->message, (int)e->paramL, (int)e->paramH, 0);\n"
    "            /* Left, right, middle: 1, 2, 4; every third message is a down. */\n"
    "            vk = 1u << ((e->message - WM_LBUTTONDOWN) / 3);\n"
    "            down = (e->message - WM_LBUTTONDOWN) % 3 == 0;\n"
    "            break;\n"
    "        case WM_MOUSEWHEEL:\n"
    "            /* y is the low word, signed: above the primary monitor it is negative. */\n"
    "            SetCursorPos((int)e->paramL, (int)(SHORT)LOWORD(e->paramH));\n"
    "            taken = SimulateMouse(e->message, (int)e->paramL, (int)(SHORT)LOWORD(e->paramH), e->paramH);\n"
    "            break;\n"
    "        case WM_KEYDOWN:\n"
    "        case WM_KEYUP:\n"
    "        case WM_SYSKEYDOWN:\n"
    "        case WM_SYSKEYUP:\n"
    "            taken = SimulateKey(e->message, e->paramL, e->paramH & 0xFF, (e->paramH >> 8) & 0xFF);\n"
    "            vk = e->paramL & 0xFFFF;\n"
    "            down = e->message == WM_KEYDOWN || e->message == WM_SYSKEYDOWN;\n"
    "            if (vk == VK_ESCAPE) {\n"
    "                ownEscape = down ? 1 : 2;\n"
    "            }\n"
    "            break;\n"
    "        default:\n"
    "            break;\n"
    "        }\n"
    "        /* Input the system refused ends the run as Esc does: played on blind,\n"
    "           it would go on after an unlock into whatever screen is there. */\n"
    "        if (!taken) {\n"
    "            break;\n"
    "        }\n"
    "        if (vk > 0 && vk < 256) {\n"
    "            if (!down) {\n"
    "                pressedBy[vk] = 0;\n"
    "            } else if (!pressedBy[vk]) {\n"
    "                pressedBy[vk] = i + 1; /* a repeat keeps its first press */\n"
    "            }\n"
    "        }\n"
    "    }\n"
    "    /* Last pressed first; each up is its down's message plus one. Buttons\n"
    "       carry no move, so they go up where the pointer is. */\n"
    "    for (;;) {\n"
    "        Record* e;\n"
    "        vk = 0;\n"
    "        for (k = 1; k < 256; k++) {\n"
    "            if (pressedBy[k] > pressedBy[vk]) {\n"
    "                vk = k;\n"
    "            }\n"
    "        }\n"
    "        if (!vk) {\n"
    "            break;\n"
    "        }\n"
    "        e = &events[pressedBy[vk] - 1];\n"
    "        pressedBy[vk] = 0;\n"
    "        if (e->message >= WM_LBUTTONDOWN) {\n"
    "            SimulateMouse(e->message + 1, 0, 0, 0);\n"
    "        } else {\n"
    "            SimulateKey(e->message + 1, e->paramL, e->paramH & 0xFF, (e->paramH >> 8) & 0xFF);\n"
    "        }\n"
    "    }\n"
    "    if (endPeriod) {\n"
    "        endPeriod(1);\n"
    "    }\n"
    "    return 0;\n"
    "}\n";

void WriteLiteral(FILE* out, const char* text, size_t length) { fwrite(text, 1, length, out); }

// The data lines are most of the file (some 21 characters per event), so they
// are built in a local chunk and written in large pieces rather than per byte.
void WriteDataBytes(FILE* out, const unsigned char* data, int32_t size) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    static constexpr char kLineBreak[] = "\n    ";
    constexpr size_t kMaxPerByte = 4 + 1 + sizeof(kLineBreak) - 1;
    char chunk[32768];
    char* p = chunk;
    char* const limit = chunk + sizeof(chunk) - kMaxPerByte;
    for (int32_t i = 0; i < size; ++i) {
        if (p > limit) {
            fwrite(chunk, 1, static_cast<size_t>(p - chunk), out);
            p = chunk;
        }
        const unsigned value = data[i];
        p[0] = '0';
        p[1] = 'x';
        p[2] = kHexDigits[value >> 4];
        p[3] = kHexDigits[value & 0x0F];
        p += 4;
        if (i + 1 < size) {
            *p++ = ',';
            if (i % kBytesPerLine == kBytesPerLine - 1) {
                memcpy(p, kLineBreak, sizeof(kLineBreak) - 1);
                p += sizeof(kLineBreak) - 1;
            }
        }
    }
    if (p > chunk) fwrite(chunk, 1, static_cast<size_t>(p - chunk), out);
}

}  // namespace

void WritePlayerStubText(FILE* out, const unsigned char* image, int32_t size) {
    WriteLiteral(out, kHeader, sizeof(kHeader) - 1);
    WriteDataBytes(out, image, size);
    WriteLiteral(out, kArrayClose, sizeof(kArrayClose) - 1);
    char sizeLine[64];
    const int n = FormatText(sizeLine, sizeof(sizeLine), "static int g_dataSize = %d;\n\n", static_cast<int>(size));
    WriteLiteral(out, sizeLine, static_cast<size_t>(n));
    WriteLiteral(out, kPlayerCode, sizeof(kPlayerCode) - 1);
}

int WritePlayerStub(const char* recordingPath, const char* stubPath, int* outCount) {
    if (!recordingPath || !stubPath) return 0;
    FILE* in = fopen(recordingPath, "rb");
    if (!in) return 0;

    unsigned char header[kRecHeaderSize];
    const size_t got = fread(header, 1, sizeof(header), in);
    const int32_t count = DecodeRecHeader(header, got, kMaxStubEvents);
    if (!count) {
        fclose(in);
        return 0;
    }
    if (outCount) *outCount = count;

    // The image carries the count field as well; bytes past the last record are
    // left unread.
    const size_t size = kRecHeaderSize + RecRecordBytes(count);
    unsigned char* image = static_cast<unsigned char*>(malloc(size));
    if (!image) {
        fclose(in);
        return 0;
    }
    memcpy(image, header, kRecHeaderSize);
    const size_t body = fread(image + kRecHeaderSize, 1, size - kRecHeaderSize, in);
    fclose(in);
    if (!DecodeRecImage(image, kRecHeaderSize + body, kMaxStubEvents, nullptr)) {
        free(image);
        return 0;
    }

    FILE* out = fopen(stubPath, "w");
    if (!out) {
        free(image);
        return 0;
    }
    WritePlayerStubText(out, image, static_cast<int32_t>(size));
    fclose(out);
    free(image);
    return 1;
}
