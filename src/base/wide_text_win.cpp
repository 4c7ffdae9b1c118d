#include "base/wide_text_win.h"

#include <cstdlib>

namespace {

int CopyAscii(const char* text, char* out, int size) {
    int length = lstrlenA(text);
    if (length >= size) return 0;
    CopyMemory(out, text, length + 1);
    return 1;
}

// "C:\dir" or "C:\dir\" as "C:\dir\", when it fits.
int EndWithBackslash(char* path, int size) {
    int length = lstrlenA(path);
    if (length > 0 && path[length - 1] == '\\') return 1;
    if (length + 1 >= size) return 0;
    path[length] = '\\';
    path[length + 1] = '\0';
    return 1;
}

// The ASCII form of a UTF-16 folder, ending in a backslash.
int AsciiFolderForm(const WCHAR* folder, char* out, int size) {
    char path[kPathBytes];
    return ToUtf8(folder, path, sizeof path) && AsciiPathForm(path, out, size) && EndWithBackslash(out, size);
}

}  // namespace

int IsAsciiText(const char* text) {
    for (; *text; ++text)
        if ((unsigned char)*text >= 0x80) return 0;
    return 1;
}

int ToWide(const char* text, WCHAR* out, int size) {
    if (size <= 0) return 0;
    out[0] = L'\0';
    if (!text) return 0;
    if (!text[0]) return 1;
    if (MultiByteToWideChar(CP_UTF8, 0, text, -1, out, size) > 0) return 1;
    out[0] = L'\0';
    return 0;
}

int ToUtf8(const WCHAR* text, char* out, int size) {
    if (size <= 0) return 0;
    out[0] = '\0';
    if (!text) return 0;
    int units = lstrlenW(text);
    if (size == 1) return units == 0;
    int whole = 1;
    // Whole characters only: a text cut to fit ends before the first one that does not.
    for (;;) {
        int bytes = units ? WideCharToMultiByte(CP_UTF8, 0, text, units, out, size - 1, nullptr, nullptr) : 0;
        if (bytes > 0 || units == 0) {
            out[bytes] = '\0';
            return whole;
        }
        whole = 0;
        --units;
        if (units > 0 && IS_HIGH_SURROGATE(text[units - 1])) --units;
    }
}

int AsciiPathForm(const char* path, char* out, int size) {
    if (!path || size <= 0) return 0;
    out[0] = '\0';
    if (IsAsciiText(path)) return CopyAscii(path, out, size);
    WidePath wide(path);
    WCHAR shortForm[MAX_PATH];
    DWORD length = wide.ok ? GetShortPathNameW(wide.text, shortForm, MAX_PATH) : 0;
    if (length == 0 || length >= MAX_PATH) return 0;
    char form[kPathBytes];
    return ToUtf8(shortForm, form, sizeof form) && IsAsciiText(form) && CopyAscii(form, out, size);
}

int AsciiTempFolder(char* out, int size) {
    WCHAR folder[MAX_PATH + 8];
    DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length > 0 && length < MAX_PATH && AsciiFolderForm(folder, out, size)) return 1;
    // A profile named in another script, on a volume that keeps no short names.
    length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 0;
    lstrcatW(folder, L"\\Temp");
    return AsciiFolderForm(folder, out, size);
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT flags) {
    int textUnits = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    int captionUnits = MultiByteToWideChar(CP_UTF8, 0, caption, -1, nullptr, 0);
    WCHAR* wide = static_cast<WCHAR*>(malloc(sizeof(WCHAR) * (textUnits + captionUnits + 2)));
    if (!wide) return MessageBoxA(owner, text, caption, flags);
    WCHAR* wideCaption = wide + textUnits + 1;
    wide[0] = wideCaption[0] = L'\0';
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, textUnits + 1);
    MultiByteToWideChar(CP_UTF8, 0, caption, -1, wideCaption, captionUnits + 1);
    int result = MessageBoxW(owner, wide, wideCaption, flags);
    free(wide);
    return result;
}
