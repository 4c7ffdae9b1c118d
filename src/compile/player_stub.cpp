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
// EVENTMSG, which matches the 20-byte record only in a 32-bit build.
constexpr char kPlayerCode[] =
    "static void SimulateMouse(UINT msg, int x, int y, DWORD extra) {\n"
    "    INPUT input;\n"
    "    int sw;\n"
    "    int sh;\n"
    "    ZeroMemory(&input, sizeof(input));\n"
    "    input.type = INPUT_MOUSE;\n"
    "    sw = GetSystemMetrics(SM_CXSCREEN);\n"
    "    sh = GetSystemMetrics(SM_CYSCREEN);\n"
    "    input.mi.dx = (x * 65535) / sw;\n"
    "    input.mi.dy = (y * 65535) / sh;\n"
    "    switch (msg) {\n"
    "    case WM_MOUSEMOVE:\n"
    "        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;\n"
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
    "        return;\n"
    "    }\n"
    "    SendInput(1, &input, sizeof(INPUT));\n"
    "}\n"
    "\n"
    "static void SimulateKey(UINT msg, UINT vk, UINT scan, UINT flags) {\n"
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
    "    SendInput(1, &input, sizeof(INPUT));\n"
    "}\n"
    "\n"
    "int WINAPI WinMain(HINSTANCE h, HINSTANCE p, LPSTR c, int s) {\n"
    "    int count = *(int*)g_macroData;\n"
    "    EVENTMSG* events = (EVENTMSG*)(g_macroData + 4);\n"
    "    DWORD lastTime = 0;\n"
    "    int i;\n"
    "    Sleep(500); /* Brief delay before playback */\n"
    "    for (i = 0; i < count; i++) {\n"
    "        EVENTMSG* e = &events[i];\n"
    "        if (GetAsyncKeyState(VK_ESCAPE) & 0x8000) {\n"
    "            break;\n"
    "        }\n"
    "        if (i > 0 && e->time > lastTime) {\n"
    "            Sleep(e->time - lastTime);\n"
    "        }\n"
    "        lastTime = e->time;\n"
    "        switch (e->message) {\n"
    "        case WM_MOUSEMOVE:\n"
    "        case WM_LBUTTONDOWN:\n"
    "        case WM_LBUTTONUP:\n"
    "        case WM_RBUTTONDOWN:\n"
    "        case WM_RBUTTONUP:\n"
    "        case WM_MBUTTONDOWN:\n"
    "        case WM_MBUTTONUP:\n"
    "            SimulateMouse(e->message, (int)e->paramL, (int)e->paramH, 0);\n"
    "            break;\n"
    "        case WM_MOUSEWHEEL:\n"
    "            SimulateMouse(e->message, (int)e->paramL, (int)LOWORD(e->paramH), e->paramH);\n"
    "            break;\n"
    "        case WM_KEYDOWN:\n"
    "        case WM_KEYUP:\n"
    "        case WM_SYSKEYDOWN:\n"
    "        case WM_SYSKEYUP:\n"
    "            SimulateKey(e->message, e->paramL, e->paramH & 0xFF, (e->paramH >> 8) & 0xFF);\n"
    "            break;\n"
    "        default:\n"
    "            break;\n"
    "        }\n"
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
