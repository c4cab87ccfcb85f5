// Pieces the program's windows share for their child controls: creation, tooltips, the flat
// "×" buttons and a plain background.
#pragma once

#include <windows.h>

namespace quillet {

// A visible child control with dialog id `id`.
HWND MakeChild(HWND parent, HINSTANCE instance, const wchar_t* cls, const wchar_t* text,
               DWORD style, DWORD exStyle, int x, int y, int width, int height, int id);

// A tooltip window owned by `owner` (destroyed with it), and a tip for one of its children.
// A null tooltip window or text adds nothing.
HWND MakeTooltips(HWND owner, HINSTANCE instance);
void AddTooltip(HWND tips, HWND owner, HWND tool, const wchar_t* text);

// WM_ERASEBKGND: the whole client area in `brush`.
LRESULT FillBackground(HWND hwnd, WPARAM dc, HBRUSH brush);

// An owner-drawn push button on a coloured background, its caption centred in `text`: with the
// system's raised edge, sunken while pressed, or, given a `flatFrame` brush, framed flat in it
// (the system's edges are light greys that glare on a dark ground).
void DrawColouredButton(const DRAWITEMSTRUCT& item, HBRUSH background, HFONT font, COLORREF text,
                        HBRUSH flatFrame = nullptr);

}  // namespace quillet
