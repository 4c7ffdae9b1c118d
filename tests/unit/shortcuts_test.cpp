#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "dialogs/shortcuts.h"

namespace {

uint16_t Word(const unsigned char* p) { return (uint16_t)(p[0] | p[1] << 8); }
uint32_t Dword(const unsigned char* p) { return Word(p) | (uint32_t)Word(p + 2) << 16; }

// Reads a terminated UTF-16 string of ASCII characters and advances `offset`.
std::string ReadText(const unsigned char* buffer, size_t* offset) {
    std::string text;
    for (;;) {
        uint16_t c = Word(buffer + *offset);
        *offset += 2;
        if (!c) return text;
        EXPECT_LT(c, 0x80);
        text.push_back((char)c);
    }
}

struct Item {
    uint32_t style, exStyle;
    int16_t x, y, cx, cy;
    uint16_t id, classAtom;
    std::string text;
};

Item ReadItem(const unsigned char* buffer, size_t* offset) {
    EXPECT_EQ(0u, *offset % 4) << "items start on a DWORD boundary";
    const unsigned char* p = buffer + *offset;
    Item item;
    item.style = Dword(p);
    item.exStyle = Dword(p + 4);
    item.x = (int16_t)Word(p + 8);
    item.y = (int16_t)Word(p + 10);
    item.cx = (int16_t)Word(p + 12);
    item.cy = (int16_t)Word(p + 14);
    item.id = Word(p + 16);
    EXPECT_EQ(0xFFFF, Word(p + 18)) << "class given by atom";
    item.classAtom = Word(p + 20);
    *offset += 22;
    item.text = ReadText(buffer, offset);
    EXPECT_EQ(0, Word(buffer + *offset)) << "no creation data";
    *offset += 2;
    return item;
}

TEST(ShortcutsTemplate, TextIsExactlyTheListOfShortcuts) {
    EXPECT_EQ(269u, strlen(kShortcutsText));
    EXPECT_EQ(0, strncmp(kShortcutsText, "Recording && Playback:\r\n", 24));
    EXPECT_NE(nullptr, strstr(kShortcutsText, "\r\n  ESC               Stop Playback\r\n"));
    EXPECT_NE(nullptr, strstr(kShortcutsText, "  F1                Show Shortcuts\r\n"));
}

TEST(ShortcutsTemplate, HeaderAndBothItemsDecodeAsLaidOut) {
    alignas(4) unsigned char buffer[kShortcutsTemplateSize];
    memset(buffer, 0xCC, sizeof buffer);
    size_t used = WriteShortcutsTemplate(buffer, sizeof buffer);
    ASSERT_GT(used, 0u);
    ASSERT_LE(used, sizeof buffer);

    EXPECT_EQ(0x80C80880u, Dword(buffer));
    EXPECT_EQ(0u, Dword(buffer + 4));
    EXPECT_EQ(2, Word(buffer + 8));
    EXPECT_EQ(0, Word(buffer + 10));
    EXPECT_EQ(0, Word(buffer + 12));
    EXPECT_EQ(200, Word(buffer + 14));
    EXPECT_EQ(160, Word(buffer + 16));
    EXPECT_EQ(0, Word(buffer + 18)) << "no menu";
    EXPECT_EQ(0, Word(buffer + 20)) << "standard dialog class";
    size_t offset = 22;
    EXPECT_EQ("Keyboard Shortcuts", ReadText(buffer, &offset));

    offset = (offset + 3) & ~(size_t)3;
    Item text = ReadItem(buffer, &offset);
    EXPECT_EQ(0x50000000u, text.style);
    EXPECT_EQ(0u, text.exStyle);
    EXPECT_EQ(15, text.x);
    EXPECT_EQ(10, text.y);
    EXPECT_EQ(170, text.cx);
    EXPECT_EQ(120, text.cy);
    EXPECT_EQ(0xFFFF, text.id);
    EXPECT_EQ(0x0082, text.classAtom);
    EXPECT_EQ(std::string(kShortcutsText), text.text);

    offset = (offset + 3) & ~(size_t)3;
    Item ok = ReadItem(buffer, &offset);
    EXPECT_EQ(0x50000001u, ok.style);
    EXPECT_EQ(75, ok.x);
    EXPECT_EQ(138, ok.y);
    EXPECT_EQ(50, ok.cx);
    EXPECT_EQ(14, ok.cy);
    EXPECT_EQ(1, ok.id);
    EXPECT_EQ(0x0080, ok.classAtom);
    EXPECT_EQ("OK", ok.text);
    EXPECT_EQ(used, offset);

    for (size_t i = used; i < sizeof buffer; ++i) ASSERT_EQ(0, buffer[i]) << "cleared at " << i;
}

TEST(ShortcutsTemplate, TooSmallABufferIsRefusedWithoutWritingPastIt) {
    alignas(4) unsigned char buffer[600];
    memset(buffer, 0xCC, sizeof buffer);
    EXPECT_EQ(0u, WriteShortcutsTemplate(buffer, 512));
    for (size_t i = 0; i < 512; ++i) ASSERT_EQ(0, buffer[i]);
    for (size_t i = 512; i < sizeof buffer; ++i) ASSERT_EQ(0xCC, buffer[i]);
    EXPECT_EQ(0u, WriteShortcutsTemplate(nullptr, 100));
}

}  // namespace
