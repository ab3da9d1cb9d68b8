// Reading other programs' windows for the binding.
#include <windows.h>

#include "core/win32.h"

namespace seam {

Point cursor_pos() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

Handle window_from_point(Point p) { return from_hwnd(WindowFromPoint(POINT{p.x, p.y})); }
Handle parent_of(Handle h) { return from_hwnd(GetParent(to_hwnd(h))); }
Handle next_window(Handle h) { return from_hwnd(GetWindow(to_hwnd(h), GW_HWNDNEXT)); }

Rect window_rect(Handle h) {
    RECT r{};
    GetWindowRect(to_hwnd(h), &r);
    return {r.left, r.top, r.right, r.bottom};
}

bool is_visible(Handle h) { return IsWindowVisible(to_hwnd(h)) != FALSE; }
std::int32_t window_text_length(Handle h) { return GetWindowTextLengthA(to_hwnd(h)); }

Text window_text(Handle h, std::int32_t buffer_size) {
    if (buffer_size < 1) return {};
    Text buffer = text_blank(buffer_size);
    // Only what the call reports as copied: a window that went away in the
    // meantime must give the empty text, not the blanks.
    const int copied = GetWindowTextA(to_hwnd(h), buffer.data(), buffer_size);
    buffer.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return bytes_to_text(buffer);
}

}  // namespace seam
