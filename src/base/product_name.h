// The product's bare name: the idle title bar, the tray tip and the About
// window's title show it alone, so every floor takes it from here. Portable.
#pragma once

inline constexpr char kProductName[] = "Quorrel";
