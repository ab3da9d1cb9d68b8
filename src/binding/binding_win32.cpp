// Reading other programs' windows for the binding.
#include <windows.h>

#include <algorithm>
#include <string>

#include "core/win32.h"

namespace {

// A window's text as GBK bytes on any system: read as the system keeps it
// (UTF-16) and converted with code page 936, "?" for what GBK lacks. That is
// what GetWindowTextA gives where the system's code page is 936; elsewhere
// GetWindowTextA gives the system's code page, which the labels would misread.
// A window that has gone gives the empty text.
Text gbk_window_text(HWND w) {
    std::wstring text(static_cast<std::size_t>(std::max(0, GetWindowTextLengthW(w))) + 1, L'\0');
    const int copied = GetWindowTextW(w, text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return from_wide(text);
}

}  // namespace

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
std::int32_t window_text_length(Handle h) { return text_length(gbk_window_text(to_hwnd(h))); }

Text window_text(Handle h, std::int32_t buffer_size) {
    if (buffer_size < 1) return {};
    const Text text = gbk_window_text(to_hwnd(h));
    // At most buffer_size - 1 bytes, and never the lead byte of a character
    // without its trail byte.
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + (static_cast<unsigned char>(text[end]) >= 0x80 ? 2 : 1);
        if (next > static_cast<std::size_t>(buffer_size - 1) || next > text.size()) break;
        end = next;
    }
    return text.substr(0, end);
}

}  // namespace seam
