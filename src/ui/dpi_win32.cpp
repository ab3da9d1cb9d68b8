#include "ui/dpi_win32.h"

namespace {

template <class Function>
Function user32_function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// The scale the system started the session with: the only one before
// Windows 10, and the one the stock objects are made for.
int system_dpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : base_dpi;
}

}  // namespace

int window_dpi(HWND hwnd) {
    static const auto get_dpi_for_window = user32_function<GetDpiForWindowFn>("GetDpiForWindow");
    if (get_dpi_for_window)
        if (const UINT dpi = get_dpi_for_window(hwnd)) return static_cast<int>(dpi);
    return system_dpi();
}

Size frame_size(DWORD style, DWORD ex_style, int dpi) {
    static const auto adjust_for_dpi = user32_function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    RECT r{};
    if (adjust_for_dpi && adjust_for_dpi(&r, style, FALSE, ex_style, static_cast<UINT>(dpi)))
        return {r.right - r.left, r.bottom - r.top};
    // Only the system's scale is drawn here; the frame at another one (96 dpi,
    // to derive the client area) is taken as this one's scaled.
    AdjustWindowRectEx(&r, style, FALSE, ex_style);
    const int at = system_dpi();
    return {mul_div(r.right - r.left, dpi, at), mul_div(r.bottom - r.top, dpi, at)};
}

GuiFont::GuiFont(int dpi) : stock_(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))) {
    LOGFONTW font{};
    if (GetObjectW(stock_, sizeof font, &font) != sizeof font) return;
    const int height = font_height(font.lfHeight, system_dpi(), dpi);
    if (height == font.lfHeight) return;
    font.lfHeight = height;
    // lfWidth 0: the face's own proportions at the new height.
    font.lfWidth = 0;
    owned_.reset(CreateFontIndirectW(&font));
}
