// The toolbar in-process under Wine: the buttons and tooltips it creates, the
// icons and labels it picks, the caption mode, the custom icon sets read from
// real files, and what a paint leaves in a memory bitmap.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_win.h"
#include "record/recorder_win.h"
#include "settings/settings.h"
#include "ui/toolbar_win.h"
#include "test_files.h"

namespace {

constexpr COLORREF kBackground = RGB(240, 240, 240);
constexpr COLORREF kFrame = RGB(0, 120, 215);
const char* const kIconFiles[] = {"open.ico", "save.ico", "record.ico", "play.ico", "compile.ico", "prefs.ico"};

std::string WindowText(HWND window) {
    char text[64] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// --- files for the custom icon sets -----------------------------------------------

// A 16x16 opaque icon of one colour, as a file holds it (32-bit DIB plus mask).
std::vector<uint8_t> SolidIconFile(COLORREF color) {
    const int size = 16;
    const uint32_t pixels = size * size * 4, mask = size * 4;  // mask rows pad to 4 bytes
    const uint32_t imageBytes = 40 + pixels + mask;
    std::vector<uint8_t> file(6 + 16 + imageBytes, 0);
    auto put16 = [&](size_t at, uint16_t v) { memcpy(&file[at], &v, 2); };
    auto put32 = [&](size_t at, uint32_t v) { memcpy(&file[at], &v, 4); };
    put16(2, 1);  // icon
    put16(4, 1);  // one image
    file[6] = size;
    file[7] = size;
    put16(6 + 4, 1);
    put16(6 + 6, 32);
    put32(6 + 8, imageBytes);
    put32(6 + 12, 6 + 16);
    size_t header = 6 + 16;
    put32(header, 40);
    put32(header + 4, size);
    put32(header + 8, size * 2);  // colour and mask halves
    put16(header + 12, 1);
    put16(header + 14, 32);
    for (uint32_t i = 0; i < pixels; i += 4) {
        uint8_t* p = &file[header + 40 + i];
        p[0] = GetBValue(color);
        p[1] = GetGValue(color);
        p[2] = GetRValue(color);
        p[3] = 255;
    }
    return file;
}

// A scratch folder under the temporary directory, removed with what it holds.
class ScratchFolder {
public:
    ScratchFolder() {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        static int serial;
        char name[64];
        wsprintfA(name, "qtb%lu_%d", GetCurrentProcessId(), ++serial);
        path_ = std::string(temp) + name;
        CreateDirectoryA(path_.c_str(), nullptr);
        made_.push_back(path_);
    }
    ~ScratchFolder() {
        for (auto it = files_.rbegin(); it != files_.rend(); ++it) DeleteFileA(it->c_str());
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) RemoveDirectoryA(it->c_str());
    }
    const std::string& path() const { return path_; }
    // Descends into a new subfolder (for long paths); returns false when it cannot.
    bool Descend(const std::string& name) {
        std::string next = path_ + "\\" + name;
        if (!CreateDirectoryA(next.c_str(), nullptr)) return false;
        made_.push_back(next);
        path_ = next;
        return true;
    }
    bool Write(const char* file, const std::vector<uint8_t>& bytes) {
        std::string full = path_ + "\\" + file;
        files_.push_back(full);
        return WriteBytes(full, bytes.data(), bytes.size());
    }
    bool WriteSet(COLORREF color, const char* skip = nullptr) {
        for (const char* file : kIconFiles)
            if (!(skip && strcmp(skip, file) == 0) && !Write(file, SolidIconFile(color))) return false;
        return true;
    }
    bool MakeSubfolder(const char* name) {
        std::string full = path_ + "\\" + name;
        made_.push_back(full);
        return CreateDirectoryA(full.c_str(), nullptr) != 0;
    }

private:
    std::string path_;
    std::vector<std::string> made_;
    std::vector<std::string> files_;
};

bool IconAlive(HICON icon) {
    ICONINFO info;
    if (!GetIconInfo(icon, &info)) return false;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return true;
}

// --- painting into memory ---------------------------------------------------------

// A 40x60 top-down 32-bit bitmap selected into a memory DC, prefilled with a colour
// the paint must cover.
class Canvas {
public:
    Canvas() {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, (void**)&bits_, nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < kWidth * kHeight; ++i) bits_[i] = 0x00FF00FF;  // magenta
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        uint32_t p = bits_[y * kWidth + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    void Paint(int id, UINT state, HWND button = nullptr) {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = id;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = button;
        item.hDC = dc_;
        item.rcItem = {0, 0, 40, 55};
        PaintToolbarButton(&item);
    }
    // Pixels in [x0,x1) x [y0,y1) that differ from `color`.
    int CountOther(int x0, int y0, int x1, int y1, COLORREF color) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += At(x, y) != color;
        return n;
    }
    static constexpr int kWidth = 40, kHeight = 60;

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    uint32_t* bits_ = nullptr;
};

bool IsDark(COLORREF c) { return GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64; }

bool IsBlend(COLORREF c) {
    // Grey strictly between the line colour and the background: an edge pixel
    // that only alpha blending produces.
    return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c) && GetRValue(c) > 16 &&
           GetRValue(c) < 224;
}

// --- fixture ------------------------------------------------------------------------

class ToolbarWin : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ToolbarTestOwner";
        RegisterClassA(&wc);
        owner = CreateWindowExA(0, "ToolbarTestOwner", "Quorrel", WS_OVERLAPPED | WS_CAPTION, 0, 0,
                                300, 120, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, owner);
        ResetSettingsToDefaults();
        CreateToolbar(owner, wc.hInstance);
    }
    void TearDown() override {
        if (IsRecording()) StopRecording();
        SetMainWindow(nullptr);
        UseDefaultToolbarIcons();
        ResetSettingsToDefaults();
        DestroyWindow(owner);
    }
    HWND owner = nullptr;
};

// --- creation ---------------------------------------------------------------------

TEST_F(ToolbarWin, SixOwnerDrawnButtonsInARowAtTheTopOfTheOwner) {
    const char* texts[] = {"Open", "Save", "Rec", "Play", ".exe", "Prefs"};
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        SCOPED_TRACE(texts[i]);
        HWND button = GetToolbarButton(i);
        ASSERT_NE(nullptr, button);
        EXPECT_EQ(owner, GetParent(button));
        EXPECT_EQ(1001 + i, GetDlgCtrlID(button));
        EXPECT_EQ(button, FindToolbarButton(1001 + i));
        char cls[32] = "";
        GetClassNameA(button, cls, sizeof cls);
        EXPECT_EQ(0, lstrcmpiA(cls, "BUTTON"));
        EXPECT_EQ((LONG)(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW), GetWindowLongA(button, GWL_STYLE));
        EXPECT_EQ(0, GetWindowLongA(button, GWL_EXSTYLE));
        EXPECT_EQ(texts[i], WindowText(button));
        RECT r;
        GetWindowRect(button, &r);
        MapWindowPoints(nullptr, owner, (POINT*)&r, 2);
        EXPECT_EQ(7 + 42 * i, r.left);
        EXPECT_EQ(0, r.top);
        EXPECT_EQ(40, r.right - r.left);
        EXPECT_EQ(55, r.bottom - r.top);
    }
    EXPECT_EQ(nullptr, GetToolbarButton(-1));
    EXPECT_EQ(nullptr, GetToolbarButton(6));
    EXPECT_EQ(nullptr, FindToolbarButton(1000));
    EXPECT_EQ(nullptr, FindToolbarButton(1007));
}

TEST_F(ToolbarWin, TooltipNamesEachButton) {
    HWND tip = GetToolbarTooltip();
    ASSERT_NE(nullptr, tip);
    char cls[32] = "";
    GetClassNameA(tip, cls, sizeof cls);
    EXPECT_EQ(0, lstrcmpiA(cls, "tooltips_class32"));
    LONG style = GetWindowLongA(tip, GWL_STYLE);
    EXPECT_EQ((LONG)(TTS_NOPREFIX | TTS_ALWAYSTIP), style & (TTS_NOPREFIX | TTS_ALWAYSTIP));
    EXPECT_TRUE(GetWindowLongA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(6, SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));

    const char* tips[] = {"Open .rec file",           "Save .rec file", "Record (Ctrl+Shift+Alt+R)",
                          "Play (Ctrl+Shift+Alt+P)", "Compile to EXE", "Preferences"};
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        char text[80] = "";
        TOOLINFOA info = {};
        info.cbSize = TTTOOLINFOA_V2_SIZE;
        info.hwnd = owner;
        info.uId = (UINT_PTR)GetToolbarButton(i);
        info.lpszText = text;
        SendMessageA(tip, TTM_GETTEXTA, sizeof text, (LPARAM)&info);
        EXPECT_STREQ(tips[i], text);

        TOOLINFOA found = {};
        found.cbSize = TTTOOLINFOA_V2_SIZE;
        found.hwnd = owner;
        found.uId = (UINT_PTR)GetToolbarButton(i);
        ASSERT_TRUE(SendMessageA(tip, TTM_GETTOOLINFOA, 0, (LPARAM)&found)) << tips[i];
        EXPECT_EQ((UINT)(TTF_IDISHWND | TTF_SUBCLASS), found.uFlags & (TTF_IDISHWND | TTF_SUBCLASS));
    }
}

// --- icon and label choice --------------------------------------------------------

TEST_F(ToolbarWin, DefaultIconsComeFromTheProgramsResources) {
    HICON seen[6] = {};
    for (int i = 0; i < 6; ++i) {
        seen[i] = GetButtonIcon(1001 + i);
        ASSERT_NE(nullptr, seen[i]) << 1001 + i;
        for (int j = 0; j < i; ++j) EXPECT_NE(seen[j], seen[i]);
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(seen[i], &info));
        BITMAP bm = {};
        GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
        EXPECT_EQ(40, bm.bmWidth);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
    }
    EXPECT_EQ(nullptr, GetButtonIcon(1000));
    EXPECT_EQ(nullptr, GetButtonIcon(1007));
    // The flag alone changes nothing while no custom icon is loaded.
    UseCustom = 1;
    for (int i = 0; i < 6; ++i) EXPECT_EQ(seen[i], GetButtonIcon(1001 + i));
}

TEST_F(ToolbarWin, LabelsAndTextColour) {
    const char* labels[] = {"Open", "Save", "&Rec", "&Play", ".exe", "Prefs"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_STREQ(labels[i], GetButtonLabel(1001 + i));
        EXPECT_EQ(RGB(0, 0, 0), GetButtonTextColor(1001 + i));
    }
    EXPECT_STREQ("", GetButtonLabel(1000));
    EXPECT_STREQ("", GetButtonLabel(1007));
    EXPECT_EQ(RGB(0, 0, 0), GetButtonTextColor(42));
}

TEST_F(ToolbarWin, RecordingSwapsTheRecIconAndLabelButNotACustomIcon) {
    HICON idle[6];
    for (int i = 0; i < 6; ++i) idle[i] = GetButtonIcon(1001 + i);
    SetMainWindow(owner);
    if (!StartRecording()) GTEST_SKIP() << "the recording hooks could not be installed here";

    HICON stop = GetButtonIcon(1003);
    EXPECT_NE(nullptr, stop);
    EXPECT_NE(idle[2], stop);
    EXPECT_STREQ("*&Rec*", GetButtonLabel(1003));
    EXPECT_STREQ("&Play", GetButtonLabel(1004));
    for (int i = 0; i < 6; ++i) {
        if (i == 2) continue;
        EXPECT_EQ(idle[i], GetButtonIcon(1001 + i));
    }

    ScratchFolder folder;
    ASSERT_TRUE(folder.WriteSet(RGB(200, 0, 0)));
    ASSERT_EQ(1, LoadCustomToolbarIcons(folder.path().c_str()));
    HICON custom = GetButtonIcon(1003);
    EXPECT_NE(stop, custom);
    EXPECT_NE(idle[2], custom);
    EXPECT_STREQ("*&Rec*", GetButtonLabel(1003));

    StopRecording();
    EXPECT_EQ(custom, GetButtonIcon(1003)) << "record.ico serves both states";
    EXPECT_STREQ("&Rec", GetButtonLabel(1003));
    UseDefaultToolbarIcons();
    EXPECT_EQ(idle[2], GetButtonIcon(1003));
}

// --- caption mode -------------------------------------------------------------------

TEST_F(ToolbarWin, CaptionModeSwitchesTextsAndStylesBothWays) {
    const char* texts[] = {"Open", "Save", "Rec", "Play", ".exe", "Prefs"};
    ApplyCaptionMode(0);
    for (int i = 0; i < 6; ++i) {
        HWND button = GetToolbarButton(i);
        LONG style = GetWindowLongA(button, GWL_STYLE);
        EXPECT_EQ("", WindowText(button));
        EXPECT_TRUE(style & BS_ICON);
        EXPECT_FALSE(style & BS_BOTTOM);
        EXPECT_EQ(BS_OWNERDRAW, style & BS_TYPEMASK);
        EXPECT_TRUE(style & WS_TABSTOP);
    }
    ApplyCaptionMode(1);
    for (int i = 0; i < 6; ++i) {
        HWND button = GetToolbarButton(i);
        LONG style = GetWindowLongA(button, GWL_STYLE);
        EXPECT_EQ(texts[i], WindowText(button)) << "the window text, not the drawn label";
        EXPECT_FALSE(style & BS_ICON);
        EXPECT_TRUE(style & BS_BOTTOM);
        EXPECT_EQ(BS_OWNERDRAW, style & BS_TYPEMASK);
        EXPECT_TRUE(style & WS_VISIBLE);
    }
}

// --- custom icon sets ---------------------------------------------------------------

TEST_F(ToolbarWin, CustomSetInstallsAllSixAndRemembersTheFolder) {
    HICON defaults[6];
    for (int i = 0; i < 6; ++i) defaults[i] = GetButtonIcon(1001 + i);
    ScratchFolder folder;
    ASSERT_TRUE(folder.WriteSet(RGB(0, 160, 0)));
    ASSERT_EQ(1, LoadCustomToolbarIcons(folder.path().c_str()));
    EXPECT_EQ(1, UseCustom);
    EXPECT_STREQ(folder.path().c_str(), CustomPath);
    for (int i = 0; i < 6; ++i) {
        EXPECT_NE(nullptr, GetButtonIcon(1001 + i));
        EXPECT_NE(defaults[i], GetButtonIcon(1001 + i));
    }
    // Start-up hands back the saved folder itself.
    HICON first = GetButtonIcon(1001);
    ASSERT_EQ(1, LoadCustomToolbarIcons(CustomPath));
    EXPECT_STREQ(folder.path().c_str(), CustomPath);
    EXPECT_NE(first, GetButtonIcon(1001));
}

TEST_F(ToolbarWin, ChangingTheSetMarksTheButtonsForRepainting) {
    // Start-up loads the saved set after the window has been painted once.
    ShowWindow(owner, SW_SHOWNOACTIVATE);
    auto allPainted = [] {
        for (int i = 0; i < 6; ++i) UpdateWindow(GetToolbarButton(i));
    };
    auto pending = [] {
        int n = 0;
        for (int i = 0; i < 6; ++i) n += GetUpdateRect(GetToolbarButton(i), nullptr, FALSE) != 0;
        return n;
    };
    allPainted();
    ASSERT_EQ(0, pending());
    ScratchFolder folder;
    ASSERT_TRUE(folder.WriteSet(RGB(0, 160, 0), "save.ico"));
    ASSERT_EQ(0, LoadCustomToolbarIcons(folder.path().c_str()));
    EXPECT_EQ(0, pending()) << "a refused set changes nothing on screen";
    ASSERT_TRUE(folder.Write("save.ico", SolidIconFile(RGB(0, 160, 0))));
    ASSERT_EQ(1, LoadCustomToolbarIcons(folder.path().c_str()));
    EXPECT_EQ(6, pending());
    allPainted();
    UseDefaultToolbarIcons();
    EXPECT_EQ(6, pending());
}

TEST_F(ToolbarWin, IncompleteOrBrokenSetsChangeNothing) {
    ScratchFolder installed;
    ASSERT_TRUE(installed.WriteSet(RGB(0, 0, 200)));
    ASSERT_EQ(1, LoadCustomToolbarIcons(installed.path().c_str()));
    HICON before[6];
    for (int i = 0; i < 6; ++i) before[i] = GetButtonIcon(1001 + i);

    ScratchFolder missingLast, missingFirst, corrupt, directory, empty;
    ASSERT_TRUE(missingLast.WriteSet(RGB(1, 1, 1), "prefs.ico"));
    ASSERT_TRUE(missingFirst.WriteSet(RGB(1, 1, 1), "open.ico"));
    ASSERT_TRUE(corrupt.WriteSet(RGB(1, 1, 1)));
    const char garbage[] = "not an icon at all";
    ASSERT_TRUE(corrupt.Write("play.ico", std::vector<uint8_t>(garbage, garbage + sizeof garbage)));
    ASSERT_TRUE(directory.WriteSet(RGB(1, 1, 1), "record.ico"));
    ASSERT_TRUE(directory.MakeSubfolder("record.ico"));

    const struct {
        const char* what;
        std::string folder;
    } cases[] = {
        {"five of six, the last missing", missingLast.path()},
        {"five of six, the first missing", missingFirst.path()},
        {"one file corrupt", corrupt.path()},
        {"a directory named like a file", directory.path()},
        {"an empty folder", empty.path()},
        {"a folder that does not exist", installed.path() + "\\nowhere"},
        {"no folder name", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(0, LoadCustomToolbarIcons(c.folder.c_str()));
        EXPECT_EQ(1, UseCustom);
        EXPECT_STREQ(installed.path().c_str(), CustomPath);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(before[i], GetButtonIcon(1001 + i));
            EXPECT_TRUE(IconAlive(before[i]));
        }
    }
}

TEST_F(ToolbarWin, ASecondSetReplacesTheFirstAndFreesIt) {
    ScratchFolder first, second;
    ASSERT_TRUE(first.WriteSet(RGB(200, 0, 0)));
    ASSERT_TRUE(second.WriteSet(RGB(0, 0, 200)));
    ASSERT_EQ(1, LoadCustomToolbarIcons(first.path().c_str()));
    HICON old[6];
    for (int i = 0; i < 6; ++i) old[i] = GetButtonIcon(1001 + i);

    ASSERT_EQ(1, LoadCustomToolbarIcons(second.path().c_str()));
    EXPECT_STREQ(second.path().c_str(), CustomPath);
    for (int i = 0; i < 6; ++i) {
        EXPECT_NE(old[i], GetButtonIcon(1001 + i));
        EXPECT_FALSE(IconAlive(old[i])) << "the replaced icon is destroyed";
    }
}

TEST_F(ToolbarWin, DefaultToolbarReleasesTheCustomSet) {
    HICON defaults[6];
    for (int i = 0; i < 6; ++i) defaults[i] = GetButtonIcon(1001 + i);
    ScratchFolder folder;
    ASSERT_TRUE(folder.WriteSet(RGB(0, 120, 0)));
    ASSERT_EQ(1, LoadCustomToolbarIcons(folder.path().c_str()));
    HICON custom = GetButtonIcon(1004);

    UseDefaultToolbarIcons();
    EXPECT_EQ(0, UseCustom);
    EXPECT_STREQ("", CustomPath);
    EXPECT_FALSE(IconAlive(custom));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(defaults[i], GetButtonIcon(1001 + i));
    // Turning the flag back on finds nothing to show but the defaults.
    UseCustom = 1;
    EXPECT_EQ(defaults[3], GetButtonIcon(1004));
}

TEST_F(ToolbarWin, AFolderTooLongForItsIconPathsIsRefused) {
    // "compile.ico" is the longest name: a folder of 247 characters gives paths of at
    // most 259, one of 248 would need 260.
    ScratchFolder folder;
    while (folder.path().size() + 21 <= 247)
        ASSERT_TRUE(folder.Descend(std::string(20, 'd')));
    size_t pad = 247 - folder.path().size() - 1;
    ASSERT_TRUE(folder.Descend(std::string(pad, 'e')));
    ASSERT_EQ(247u, folder.path().size());
    ASSERT_TRUE(folder.WriteSet(RGB(0, 200, 0)));
    EXPECT_EQ(1, LoadCustomToolbarIcons(folder.path().c_str())) << "the longest folder that fits";
    EXPECT_STREQ(folder.path().c_str(), CustomPath);
    HICON installed = GetButtonIcon(1005);

    ScratchFolder longer;
    while (longer.path().size() + 21 <= 248)
        ASSERT_TRUE(longer.Descend(std::string(20, 'd')));
    ASSERT_TRUE(longer.Descend(std::string(248 - longer.path().size() - 1, 'f')));
    ASSERT_EQ(248u, longer.path().size());
    // The five shorter names fit; compile.ico would not. Cut to 259 characters its
    // path would name "compile.ic", which is there: a cut path must not be used.
    ASSERT_TRUE(longer.WriteSet(RGB(200, 200, 0), "compile.ico"));
    ASSERT_TRUE(longer.Write("compile.ic", SolidIconFile(RGB(200, 200, 0))));
    EXPECT_EQ(0, LoadCustomToolbarIcons(longer.path().c_str()));
    EXPECT_STREQ(folder.path().c_str(), CustomPath);
    EXPECT_EQ(installed, GetButtonIcon(1005));

    std::string huge(600, 'x');
    EXPECT_EQ(0, LoadCustomToolbarIcons(huge.c_str()));
    EXPECT_STREQ(folder.path().c_str(), CustomPath);
}

// --- painting -----------------------------------------------------------------------

TEST_F(ToolbarWin, PaintFillsTheBackgroundAndDrawsTheIconWithinItsRows) {
    for (int captions = 0; captions <= 1; ++captions) {
        ShowCaptions = captions;
        for (int id = 1001; id <= 1006; ++id) {
            SCOPED_TRACE(id);
            SCOPED_TRACE(captions ? "captions" : "no captions");
            Canvas canvas;
            canvas.Paint(id, 0);
            // Nothing of the icon outside rows 5..33 and the 5-pixel side margins.
            EXPECT_EQ(0, canvas.CountOther(0, 0, 40, 5, kBackground));
            EXPECT_EQ(0, canvas.CountOther(0, 34, 40, 40, kBackground));
            EXPECT_EQ(0, canvas.CountOther(0, 5, 5, 34, kBackground));
            EXPECT_EQ(0, canvas.CountOther(35, 5, 40, 34, kBackground));
            int dark = 0, blended = 0;
            for (int y = 5; y < 34; ++y)
                for (int x = 5; x < 35; ++x) {
                    dark += IsDark(canvas.At(x, y));
                    blended += IsBlend(canvas.At(x, y));
                }
            EXPECT_GT(dark, 40) << "black line art";
            EXPECT_GT(blended, 0) << "soft edges: the icon's alpha channel was used";
            int label = canvas.CountOther(0, 40, 40, 55, kBackground);
            if (captions) {
                EXPECT_GT(label, 10);
            } else {
                EXPECT_EQ(0, label);
            }
            EXPECT_EQ(RGB(255, 0, 255), canvas.At(20, 57)) << "nothing below the item rectangle";
        }
    }
}

TEST_F(ToolbarWin, PressedOrFocusedButtonsGetTheBlueFrame) {
    const UINT states[] = {ODS_SELECTED, ODS_FOCUS, ODS_SELECTED | ODS_FOCUS};
    for (int captions = 0; captions <= 1; ++captions) {
        ShowCaptions = captions;
        for (UINT state : states) {
            Canvas canvas;
            canvas.Paint(1004, state);
            const POINT frame[] = {{0, 0}, {39, 0}, {0, 54}, {39, 54}, {20, 0}, {20, 54}, {0, 27}, {39, 27}};
            for (POINT p : frame) EXPECT_EQ(kFrame, canvas.At(p.x, p.y)) << p.x << "," << p.y;
            EXPECT_EQ(kBackground, canvas.At(1, 1)) << "a one-pixel outline, not a fill";
            EXPECT_EQ(kBackground, canvas.At(38, 53));
        }
    }
    Canvas plain;
    plain.Paint(1004, ODS_HOTLIGHT | ODS_DEFAULT | ODS_DISABLED);
    EXPECT_EQ(kBackground, plain.At(0, 0)) << "no other state changes the look";
    EXPECT_EQ(kBackground, plain.At(39, 54));
}

TEST_F(ToolbarWin, AnUnknownIdPaintsOnlyBackgroundAndFrame) {
    Canvas canvas;
    canvas.Paint(1999, 0);
    EXPECT_EQ(0, canvas.CountOther(0, 0, 40, 55, kBackground));
    Canvas pressed;
    pressed.Paint(1999, ODS_SELECTED);
    EXPECT_EQ(kFrame, pressed.At(0, 0));
    EXPECT_EQ(0, pressed.CountOther(1, 1, 39, 54, kBackground));
}

TEST_F(ToolbarWin, PaintShowsTheCustomIconAndRestoresTheDc) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.WriteSet(RGB(0, 160, 0)));
    ASSERT_EQ(1, LoadCustomToolbarIcons(folder.path().c_str()));
    Canvas canvas;
    HGDIOBJ font = GetCurrentObject(canvas.dc(), OBJ_FONT);
    HGDIOBJ pen = GetCurrentObject(canvas.dc(), OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(canvas.dc(), OBJ_BRUSH);
    int mode = GetBkMode(canvas.dc());
    COLORREF text = GetTextColor(canvas.dc());

    canvas.Paint(1002, ODS_FOCUS);
    EXPECT_EQ(RGB(0, 160, 0), canvas.At(20, 20)) << "the 16-pixel file scaled to 40";
    EXPECT_EQ(RGB(0, 160, 0), canvas.At(2, 37));
    EXPECT_EQ(kFrame, canvas.At(0, 0)) << "the frame is drawn over the icon";

    EXPECT_EQ(font, GetCurrentObject(canvas.dc(), OBJ_FONT));
    EXPECT_EQ(pen, GetCurrentObject(canvas.dc(), OBJ_PEN));
    EXPECT_EQ(brush, GetCurrentObject(canvas.dc(), OBJ_BRUSH));
    EXPECT_EQ(mode, GetBkMode(canvas.dc()));
    EXPECT_EQ(text, GetTextColor(canvas.dc()));
}

TEST_F(ToolbarWin, RecordingDrawsTheStopSquareAndTheStarredLabel) {
    Canvas idle;
    idle.Paint(1003, 0);
    SetMainWindow(owner);
    if (!StartRecording()) GTEST_SKIP() << "the recording hooks could not be installed here";
    Canvas recording;
    recording.Paint(1003, 0);
    StopRecording();
    // The record circle leaves its corners empty; the stop square reaches into them.
    int differing = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) differing += idle.At(x, y) != recording.At(x, y);
    EXPECT_GT(differing, 50);
    // The asterisks widen the label.
    auto labelWidth = [](const Canvas& c) {
        int left = 40, right = -1;
        for (int y = 40; y < 55; ++y)
            for (int x = 0; x < 40; ++x)
                if (c.At(x, y) != kBackground) {
                    left = x < left ? x : left;
                    right = x > right ? x : right;
                }
        return right - left;
    };
    EXPECT_GT(labelWidth(recording), labelWidth(idle) + 4);
}

}  // namespace
