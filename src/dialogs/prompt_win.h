// The one-line input prompt: a small modal window of its own class with a
// question icon, a prompt line, an edit field and owner-drawn OK/Cancel.
// UI thread only.
#pragma once
#include <windows.h>

// Shows the prompt centred on `owner` (which is disabled meanwhile) and returns
// the accepted text (at most 255 characters) as a malloc'd string the caller
// frees with free(), or null when the user cancelled or closed it, or on failure.
char* PromptForText(HWND owner, const char* title, const char* prompt, const char* initial);

LRESULT CALLBACK InputPromptWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Paints OK or Cancel into `rect`, its font and border scaled to `dpi`.
void DrawPromptButton(HDC dc, const RECT* rect, const char* text, int pressed, int dpi);
