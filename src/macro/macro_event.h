// The one record every part of the program exchanges: a timed input event,
// laid out like the Windows EVENTMSG record, identical in memory, in .rec files
// and inside generated players. Portable: no windows.h.
#pragma once
#include <cstdint>
#include <cstddef>

struct MacroEvent {
    uint32_t message;  // window-message number naming the kind of input
    uint32_t paramL;   // key: virtual key; mouse: x (signed)
    uint32_t paramH;   // key: scan byte | flags byte << 8; mouse: y; wheel: delta << 16 | (y & 0xFFFF)
    uint32_t time;     // ms since the recording started, modulo 2^32
    uint32_t hwnd;     // always 0 when recorded, ignored on playback
};
static_assert(sizeof(MacroEvent) == 20, "MacroEvent must stay 20 bytes: it is the .rec record");
static_assert(offsetof(MacroEvent, time) == 12, "MacroEvent fields follow EVENTMSG");

// Message numbers used in records. Portable code cannot see windows.h, so the
// values are spelled out here once.
namespace msg {
constexpr uint32_t KeyDown = 0x100;
constexpr uint32_t KeyUp = 0x101;
constexpr uint32_t SysKeyDown = 0x104;
constexpr uint32_t SysKeyUp = 0x105;
constexpr uint32_t MouseMove = 0x200;
constexpr uint32_t LButtonDown = 0x201;
constexpr uint32_t LButtonUp = 0x202;
constexpr uint32_t LButtonDblClk = 0x203;
constexpr uint32_t RButtonDown = 0x204;
constexpr uint32_t RButtonUp = 0x205;
constexpr uint32_t RButtonDblClk = 0x206;
constexpr uint32_t MButtonDown = 0x207;
constexpr uint32_t MButtonUp = 0x208;
constexpr uint32_t MButtonDblClk = 0x209;
constexpr uint32_t MouseWheel = 0x20A;
}  // namespace msg

constexpr bool IsKeyMessage(uint32_t m) {
    return m == msg::KeyDown || m == msg::KeyUp || m == msg::SysKeyDown || m == msg::SysKeyUp;
}
constexpr bool IsMouseMessage(uint32_t m) { return m >= msg::MouseMove && m <= msg::MouseWheel; }
