// The display scale on Win32: what the forms' scaling needs to know from the
// system (the scale of a window's monitor, the frame the system draws at a
// scale) and the controls' font at a scale. The calls of per-monitor scaling
// exist from Windows 10 on; they are looked up when first needed, and without
// them the system's one scale is every window's.
#pragma once

#include <windows.h>

#include "core/unique_handle.h"
#include "core/scaling.h"

// Sent to a window about to move to a monitor of another scale, asking for
// its size there (Windows 10 1703 on; the headers declare it for such targets only).
inline constexpr UINT wm_getdpiscaledsize = 0x02E4;

// The scale of the monitor the window is on, in dots per inch.
int window_dpi(HWND hwnd);

// What the frame of a window of the style adds to its client area at dpi.
Size frame_size(DWORD style, DWORD ex_style, int dpi);

struct DeleteObjectFn {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using unique_font = unique_handle<HFONT, DeleteObjectFn>;

// The controls' font at a scale: the stock DEFAULT_GUI_FONT where it already
// has the size, otherwise a font of its face made at the size, and owned.
class GuiFont {
public:
    GuiFont() = default;
    explicit GuiFont(int dpi);

    HFONT get() const { return owned_ ? owned_.get() : stock_; }

private:
    HFONT stock_ = nullptr;
    unique_font owned_;
};
