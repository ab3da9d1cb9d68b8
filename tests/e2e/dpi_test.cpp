// Both windows at the display scale of the session (tools/wine/session
// --dpi N): each is its form scaled by N / 96, and every one-line text fits its
// control in the font the program gives it there. ctest runs this suite at
// 120, 144 and 192 dpi, with KESTRUNE_E2E_DPI naming the scale the session
// must show; at 96 dpi it holds as well.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "kestrune.h"
#include "core/forms.h"

namespace {

using namespace e2e;

struct DeleteObjectFn {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using unique_font = unique_handle<HFONT, DeleteObjectFn>;

int screen_dpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The font the program gives its controls at a scale: the face of
// DEFAULT_GUI_FONT at its size at 96 dpi, scaled; the stock font is made for
// the system's scale. Built here, as WM_GETFONT sent to another process's
// control gives 0 under Wine.
unique_font program_font(int dpi) {
    LOGFONTW font{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = MulDiv(MulDiv(font.lfHeight, 96, screen_dpi()), dpi, 96);
    font.lfWidth = 0;
    return unique_font(CreateFontIndirectW(&font));
}

// How far a one-line text reaches in the font, and how high it is: its
// advance less the blank the last character leaves after its ink (a
// full-width colon is drawn in the left half of its cell).
SIZE ink_size(HFONT font, const std::wstring& text) {
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ABC last{};
    if (!text.empty() && GetCharABCWidthsW(dc, text.back(), text.back(), &last)) size.cx -= last.abcC;
    SelectObject(dc, old);
    DeleteDC(dc);
    return size;
}

// Within a pixel on every edge: scaled lengths are rounded.
bool within_a_pixel(const RECT& a, const RECT& b) {
    return std::abs(a.left - b.left) <= 1 && std::abs(a.top - b.top) <= 1 && std::abs(a.right - b.right) <= 1 &&
           std::abs(a.bottom - b.bottom) <= 1;
}

class Dpi : public testing::Test {
protected:
    void SetUp() override {
        if (const char* wanted = std::getenv("KESTRUNE_E2E_DPI")) {
            ASSERT_EQ(dpi, std::atoi(wanted)) << "the session does not show the scale asked for";
        }
        ASSERT_TRUE(kestrune.main) << "the main window did not come up";
        binding = wait_for_top_window(kestrune.process.id(), L"Kestrune.Binding");
        ASSERT_TRUE(binding && wait_until([&] { return visible(binding); })) << "no binding window";
    }

    int scaled(int length) const { return MulDiv(length, dpi, 96); }
    RECT scaled(int x, int y, int width, int height) const {
        return {scaled(x), scaled(y), scaled(x + width), scaled(y + height)};
    }

    // The form's outer size less the frame at 96 dpi, scaled.
    SIZE expected_client(const Form& form) const {
        using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
        const auto adjust = reinterpret_cast<AdjustForDpi>(
            reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
        RECT frame{};
        if (adjust) adjust(&frame, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE, WS_EX_APPWINDOW, 96);
        return {scaled(form.outer_width - (frame.right - frame.left)),
                scaled(form.outer_height - (frame.bottom - frame.top))};
    }

    void expect_scaled_window(const char* what, HWND w, const Form& form) const {
        SCOPED_TRACE(what);
        RECT client{};
        GetClientRect(w, &client);
        const SIZE want = expected_client(form);
        EXPECT_LE(std::abs(client.right - want.cx), 1) << "client width " << client.right << ", wanted " << want.cx;
        EXPECT_LE(std::abs(client.bottom - want.cy), 1) << "client height " << client.bottom << ", wanted " << want.cy;
        // Centred on the screen.
        const RECT r = window_rect(w);
        EXPECT_LE(std::abs(r.left - (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2), 1) << describe(r);
        EXPECT_LE(std::abs(r.top - (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2), 1) << describe(r);
        const auto controls = children(w);
        ASSERT_EQ(controls.size(), form.controls.size());
        for (std::size_t row = 0; row < form.controls.size(); ++row) {
            const ControlForm& c = form.controls[row];
            // Rows are stacked top first.
            const RECT want_rect = scaled(c.x, c.y, c.width, c.height);
            EXPECT_TRUE(within_a_pixel(rect_in_parent(controls[row]), want_rect))
                << c.name << " at " << describe(rect_in_parent(controls[row])) << ", wanted "
                << describe(want_rect);
        }
    }

    const int dpi = screen_dpi();
    StartedKestrune kestrune{IDYES};
    HWND binding = nullptr;
};

TEST_F(Dpi, BothWindowsAreTheirFormsScaled) {
    expect_scaled_window("main window", kestrune.main, main_form());
    expect_scaled_window("binding window", binding, binding_form());
}

TEST_F(Dpi, TheWindowsFollowTheirMonitorsScale) {
    // Per-monitor awareness: the system sends a window that moves to a monitor
    // of another scale WM_DPICHANGED, and leaves it unstretched. (Wine reports
    // the awareness, not whether it is the second version of it.)
    using GetContext = HANDLE(WINAPI*)(HWND);
    using GetAwareness = int(WINAPI*)(HANDLE);
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto get_context = reinterpret_cast<GetContext>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
    const auto awareness = reinterpret_cast<GetAwareness>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    ASSERT_TRUE(get_context && awareness) << "the system lacks per-monitor scaling";
    constexpr int per_monitor_aware = 2;  // DPI_AWARENESS_PER_MONITOR_AWARE
    EXPECT_EQ(awareness(get_context(kestrune.main)), per_monitor_aware);
    EXPECT_EQ(awareness(get_context(binding)), per_monitor_aware);
}

// Each one-line text fits the room its control gives it: a label all of its
// width, a push button its width inside the border, a check box or radio
// button its width beside the box. Fitting means showing as at 100 %: a text
// whose ink the form cuts at 96 dpi (in Wine's CJK font the full-width colon
// of 发送键句柄： by one pixel) may be cut as much, scaled, and no more.
TEST_F(Dpi, EveryOneLineTextFitsItsControl) {
    const unique_font font = program_font(dpi), font_at_96 = program_font(96);
    ASSERT_TRUE(font && font_at_96);
    for (std::size_t row = 0; row < main_form().controls.size(); ++row) {
        const ControlForm& c = main_form().controls[row];
        int beside_at_96 = 0;
        switch (c.kind) {
            case Kind::label: beside_at_96 = 0; break;
            case Kind::button: beside_at_96 = 4; break;
            case Kind::check_box:
            case Kind::radio_button: beside_at_96 = 16; break;
            default: continue;
        }
        const HWND w = control(kestrune.main, static_cast<Ctl>(row));
        const std::wstring text = text_wide(w);
        const int cut_at_96 = std::max(0L, ink_size(font_at_96.get(), text).cx + beside_at_96 - c.width);
        RECT room{};
        GetClientRect(w, &room);
        const SIZE need = ink_size(font.get(), text);
        EXPECT_LE(need.cx + scaled(beside_at_96), room.right + scaled(cut_at_96))
            << c.name << ": " << need.cx << " + " << scaled(beside_at_96) << " wide, cut by " << cut_at_96
            << " at 96 dpi";
        EXPECT_LE(need.cy, room.bottom) << c.name << ": " << need.cy << " high";
    }
}

}  // namespace
