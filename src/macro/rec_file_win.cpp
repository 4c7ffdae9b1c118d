#include "macro/rec_file_win.h"

#include <commdlg.h>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "base/answering_wait_win.h"
#include "base/guards_win.h"
#include "base/wide_text_win.h"
#include "macro/macro_buffer.h"
#include "macro/rec_codec.h"

namespace {

// How long a save waits for a file that another program (a virus scanner, an
// indexer, a sync client) holds open for a moment, and how often it tries.
constexpr DWORD kBusyFileWaitMs = 500;
constexpr DWORD kBusyFileRetryMs = 25;

int WriteAll(HANDLE file, const void* data, DWORD bytes) {
    DWORD written = 0;
    return WriteFile(file, data, bytes, &written, nullptr) && written == bytes;
}

// Creates a fresh temporary file beside `path` (same folder, so the final rename
// stays on one volume). Its name is never longer than the target's own, so it
// fits wherever the target fits, even in a folder at the path limit: "~" and
// hex digits, or a single digit for a one-letter name. Fills `tempPath`
// (MAX_PATH) and returns the open handle.
HANDLE CreateSiblingTempFile(const WCHAR* path, WCHAR* tempPath) {
    const WCHAR* slash = wcsrchr(path, L'\\');
    const WCHAR* fwd = wcsrchr(path, L'/');
    if (fwd && (!slash || fwd > slash)) slash = fwd;
    size_t dirLen = slash ? (size_t)(slash - path) + 1 : 0;
    size_t nameLen = wcslen(path + dirLen);
    if (nameLen == 0 || dirLen + nameLen >= MAX_PATH) return INVALID_HANDLE_VALUE;
    size_t tempLen = nameLen < 9 ? nameLen : 9;
    DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < 32; ++attempt) {
        WCHAR digits[16];
        wsprintfW(digits, L"%08lX", (unsigned long)(seed + (DWORD)attempt));
        WCHAR* out = tempPath + dirLen;
        memcpy(tempPath, path, dirLen * sizeof(WCHAR));
        if (tempLen == 1) {
            out[0] = digits[7];
        } else {
            out[0] = L'~';
            memcpy(out + 1, digits + 8 - (tempLen - 1), (tempLen - 1) * sizeof(WCHAR));
        }
        out[tempLen] = L'\0';
        if (lstrcmpiW(out, path + dirLen) == 0) continue;  // never the target itself
        HANDLE file = CreateFileW(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Puts the written file in the target's place. A target held open without
// delete sharing refuses for as long as it is held, so the rename is tried
// again for a moment; the window stays drawn and the hooks answered meanwhile.
int ReplaceTarget(const WCHAR* tempPath, const WCHAR* path) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (MoveFileExW(tempPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 1;
        const DWORD error = GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) ||
            GetTickCount() - start >= kBusyFileWaitMs)
            return 0;
        WaitAnswering(nullptr, kBusyFileRetryMs);
    }
}

}  // namespace

int SaveRecording(const char* path, const MacroEvent* events, int count) {
    uint32_t bytes;
    WidePath target(path);
    if (!target.ok || !events || count <= 0 || !RecordBytes(count, &bytes)) return 0;

    WCHAR tempPath[MAX_PATH];
    HANDLE file = CreateSiblingTempFile(target.text, tempPath);
    if (file == INVALID_HANDLE_VALUE) return 0;
    unsigned char header[kRecHeaderSize];
    EncodeRecHeader(count, header);
    int ok = WriteAll(file, header, sizeof header) && WriteAll(file, events, bytes);
    CloseHandle(file);
    if (ok) ok = ReplaceTarget(tempPath, target.text);
    if (!ok) DeleteFileW(tempPath);
    return ok;
}

MacroEvent* LoadRecording(const char* path, int* outCount) {
    WidePath source(path);
    if (!source.ok || !outCount) return nullptr;
    *outCount = 0;
    AutoCloseHandle file(CreateFileW(source.text, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return nullptr;

    unsigned char header[kRecHeaderSize];
    DWORD got = 0;
    if (!ReadFile(file.get(), header, sizeof header, &got, nullptr)) return nullptr;
    int32_t count = DecodeRecHeader(header, got, kMaxRecEvents);
    if (!count) return nullptr;
    // Only the records the header announces are read; a shorter file fails.
    uint32_t bytes = RecRecordBytes(count);
    MacroEvent* events = static_cast<MacroEvent*>(malloc(bytes));
    if (!events) return nullptr;
    if (!(ReadFile(file.get(), events, bytes, &got, nullptr) && got == bytes)) {
        free(events);
        return nullptr;
    }
    *outCount = count;
    return events;
}

char* ChooseRecordingFile(HWND owner, int forSave) {
    WCHAR chosen[MAX_PATH] = L"";
    OPENFILENAMEW ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"Quorrel Recordings (*.rec)\0*.rec\0All Files (*.*)\0*.*\0";
    ofn.nFilterIndex = 0;
    ofn.lpstrFile = chosen;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = L"rec";
    BOOL confirmed;
    if (forSave) {
        ofn.lpstrTitle = L"Save Macro Recording";
        ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        confirmed = GetSaveFileNameW(&ofn);
    } else {
        ofn.lpstrTitle = L"Open Macro Recording";
        ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
        confirmed = GetOpenFileNameW(&ofn);
    }
    char* path = confirmed ? static_cast<char*>(malloc(kPathBytes)) : nullptr;
    if (path && !ToUtf8(chosen, path, kPathBytes)) {
        free(path);
        path = nullptr;
    }
    return path;
}
