// The GUI layer on Win32: windows built from their forms, keyboard
// navigation, the queued close, message boxes and the message pumps.
#include <windows.h>

#include <array>
#include <vector>

#include "app/events.h"
#include "core/unique_handle.h"
#include "core/win32.h"
#include "ui/dpi_win32.h"
#include "ui/gui_win32.h"

namespace {

struct DestroyIconFn {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using unique_icon = unique_handle<HICON, DestroyIconFn>;

struct UnhookFn {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
using unique_hook = unique_handle<HHOOK, UnhookFn>;

// The timer that looks for F2 to come up after a press.
constexpr UINT_PTR f2_release_timer = 1;
constexpr UINT f2_release_poll_ms = 20;

// Control ids: 1000 + the control's row in its form.
constexpr int first_control_id = 1000;

struct OpenWindow {
    HWND hwnd = nullptr;
    std::vector<HWND> controls;  // rows of the form
    HWND focus_to_restore = nullptr;
    bool close_queued = false;
    std::int32_t hot_key = 0;  // the F2 registration it holds, if any
    GuiFont font;              // the controls' font at the window's scale
};

std::array<OpenWindow, 2> windows;
bool loop_entered = false;
unique_icon large_icon, small_icon;

const wchar_t* const class_names[] = {L"Kestrune.Main", L"Kestrune.Binding"};

OpenWindow& slot(Window w) { return windows[static_cast<std::size_t>(w)]; }
const Form& form_for(Window w) { return w == Window::main ? main_form() : binding_form(); }

// Both windows: a caption with the system menu and the minimise box; their
// size is fixed.
constexpr DWORD window_style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD window_ex_style = WS_EX_APPWINDOW;

ScaledForm scaled_form(Window w, int dpi) {
    return scale_form(form_for(w), dpi, frame_size(window_style, window_ex_style, base_dpi),
                      frame_size(window_style, window_ex_style, dpi));
}

// Sizes and places the window and its controls for the scale dpi, with the
// font made for it: centred on the screen, or in the place the system gives
// when the window moves to a monitor of another scale.
void lay_out(Window w, int dpi, const RECT* place) {
    auto& open = slot(w);
    const ScaledForm scaled = scaled_form(w, dpi);
    RECT r{};
    if (place) {
        r = *place;
    } else {
        const int left = (GetSystemMetrics(SM_CXSCREEN) - scaled.outer.width) / 2;
        const int top = (GetSystemMetrics(SM_CYSCREEN) - scaled.outer.height) / 2;
        r = {left, top, left + scaled.outer.width, top + scaled.outer.height};
    }
    SetWindowPos(open.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The old font goes only once no control uses it any more.
    GuiFont font(dpi);
    for (std::size_t row = 0; row < open.controls.size(); ++row) {
        const Box& b = scaled.controls[row];
        SetWindowPos(open.controls[row], nullptr, b.x, b.y, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(open.controls[row], WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    open.font = std::move(font);
}

DWORD style_of(const ControlForm& c) {
    DWORD style = WS_CHILD | WS_VISIBLE | (c.starts_group ? WS_GROUP : 0);
    switch (c.kind) {
        case Kind::label: return style | SS_LEFTNOWORDWRAP | SS_CENTERIMAGE;
        case Kind::wrapping_label: return style | SS_LEFT;
        case Kind::line_edit: return style | WS_TABSTOP | WS_BORDER | ES_CENTER | ES_AUTOHSCROLL;
        case Kind::lines_edit:
            return style | WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL |
                   ES_WANTRETURN;
        case Kind::button: return style | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE;
        case Kind::check_box: return style | WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE;
        case Kind::radio_button: return style | WS_TABSTOP | BS_AUTORADIOBUTTON | BS_MULTILINE;
    }
    return style;
}

const wchar_t* class_of(Kind kind) {
    switch (kind) {
        case Kind::label:
        case Kind::wrapping_label: return L"Static";
        case Kind::line_edit:
        case Kind::lines_edit: return L"Edit";
        default: return L"Button";
    }
}

HWND control(Ctl c) {
    const auto& main = slot(Window::main);
    return main.hwnd ? main.controls[static_cast<std::size_t>(c)] : nullptr;
}

bool is_ours(HWND top, HWND h) { return top && (h == top || IsChild(top, h)); }

// The focusable controls of a window in its tab order.
std::vector<HWND> tab_stops(Window w) {
    std::vector<HWND> stops;
    if (slot(w).controls.size() != form_for(w).controls.size()) return stops;  // still being made
    for (Ctl c : form_for(w).tab_order) {
        HWND h = slot(w).controls[static_cast<std::size_t>(c)];
        if (IsWindowVisible(h) && IsWindowEnabled(h)) stops.push_back(h);
    }
    return stops;
}

void move_focus(Window w, bool backwards) {
    const auto stops = tab_stops(w);
    if (stops.empty()) return;
    const HWND focus = GetFocus();
    std::size_t i = 0;
    while (i < stops.size() && stops[i] != focus) ++i;
    std::size_t next;
    if (i == stops.size()) next = backwards ? stops.size() - 1 : 0;
    else next = backwards ? (i + stops.size() - 1) % stops.size() : (i + 1) % stops.size();
    SetFocus(stops[next]);
}

bool modifier_down(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

// Keys the window handles before the control with the focus sees them.
// Returns true when the key has been used up.
bool handle_key(const MSG& m) {
    if (m.message != WM_KEYDOWN && m.message != WM_SYSKEYDOWN) return false;
    for (Window w : {Window::main, Window::binding}) {
        const HWND top = slot(w).hwnd;
        if (!is_ours(top, m.hwnd)) continue;
        const bool alt = m.message == WM_SYSKEYDOWN || modifier_down(VK_MENU);
        const bool ctrl = modifier_down(VK_CONTROL);
        const bool shift = modifier_down(VK_SHIFT);
        const HWND focus = GetFocus();
        switch (m.wParam) {
            case VK_RETURN:
                // Only the list of lines takes Enter, as a line break.
                return !(w == Window::main && focus == control(Ctl::编辑框1));
            case VK_TAB:
                if (alt || ctrl) return false;
                move_focus(w, shift);
                return true;
            case VK_ESCAPE:
                if (alt || ctrl || shift) return false;
                SendMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0);
                return true;
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN: {
                if (w != Window::main) return false;
                const HWND first = control(Ctl::单选框2), second = control(Ctl::单选框1);
                if (focus != first && focus != second) return false;
                const HWND other = focus == first ? second : first;
                SetFocus(other);
                SendMessageW(other, BM_CLICK, 0, 0);
                return true;
            }
            case VK_F1: return true;
            default: return false;
        }
    }
    return false;
}

void dispatch(MSG& m) {
    if (handle_key(m)) return;
    TranslateMessage(&m);
    DispatchMessageW(&m);
}

void forget(HWND hwnd) {
    for (auto& open : windows) {
        if (open.hwnd != hwnd) continue;
        if (open.hot_key != 0) UnregisterHotKey(hwnd, open.hot_key);
        open = OpenWindow{};
    }
    // The program ends when the last of its windows is gone.
    if (loop_entered && !windows[0].hwnd && !windows[1].hwnd) PostQuitMessage(0);
}

Window window_of(HWND hwnd) { return hwnd == slot(Window::binding).hwnd ? Window::binding : Window::main; }

LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wparam) == BN_CLICKED && hwnd == slot(Window::main).hwnd) {
                const int row = LOWORD(wparam) - first_control_id;
                on_event(Window::main, Event::click, static_cast<Ctl>(row));
                return 0;
            }
            break;
        case WM_HOTKEY:
            if (hwnd == slot(Window::binding).hwnd)
                on_event(Window::binding, Event::hot_key, {}, static_cast<std::int32_t>(wparam));
            return 0;
        case WM_TIMER:
            if (wparam != f2_release_timer) break;
            // The key state as the keyboard has it, not as this thread's
            // messages have seen it: F2's key-up goes to another program.
            if ((GetAsyncKeyState(VK_F2) & 0x8000) == 0) {
                KillTimer(hwnd, f2_release_timer);
                if (hwnd == slot(Window::binding).hwnd) on_event(Window::binding, Event::hot_key_released);
            }
            return 0;
        case WM_ACTIVATE: {
            auto& open = slot(window_of(hwnd));
            if (LOWORD(wparam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (IsChild(hwnd, focus)) open.focus_to_restore = focus;
                return 0;
            }
            if (HIWORD(wparam)) return 0;  // minimised
            // Back to the control that had the focus, or the first in tab order.
            HWND target = IsWindow(open.focus_to_restore) ? open.focus_to_restore : nullptr;
            if (!target) {
                const auto stops = tab_stops(window_of(hwnd));
                target = stops.empty() ? hwnd : stops.front();
            }
            SetFocus(target);
            return 0;
        }
        case WM_DPICHANGED:
            lay_out(window_of(hwnd), HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
            return 0;
        case wm_getdpiscaledsize: {
            // The size the window will have there, so that the place the
            // system then suggests fits it exactly.
            const Size outer = scaled_form(window_of(hwnd), static_cast<int>(wparam)).outer;
            *reinterpret_cast<SIZE*>(lparam) = {outer.width, outer.height};
            return TRUE;
        }
        case WM_DESTROY: forget(hwnd); return 0;
        default: break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

void register_class(Window w) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = large_icon.get();
    wc.hIconSm = small_icon.get();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = class_names[static_cast<std::size_t>(w)];
    RegisterClassExW(&wc);
}

// A box of ours must come up above the binding window, which is topmost.
// MB_TOPMOST does that on Windows, but not everywhere for a task-modal box
// without an owner; made topmost as it activates, it is above on every system.
LRESULT CALLBACK raise_box(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wparam);
        wchar_t name[8] = {};
        if (GetClassNameW(box, name, 8) == 6 && lstrcmpW(name, L"#32770") == 0)
            SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

void prepare_gui() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto load = [&](int metric_x, int metric_y) {
        return unique_icon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                         GetSystemMetrics(metric_x), GetSystemMetrics(metric_y), 0)));
    };
    large_icon = load(SM_CXICON, SM_CYICON);
    small_icon = load(SM_CXSMICON, SM_CYSMICON);
    register_class(Window::main);
    register_class(Window::binding);
}

namespace seam {

bool create_window(Window w) {
    const Form& form = form_for(w);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // Sized and placed once it exists (lay_out): its scale is its monitor's.
    const HWND hwnd = CreateWindowExW(window_ex_style, class_names[static_cast<std::size_t>(w)],
                                      to_wide(form.caption).c_str(), window_style, 0, 0, 0, 0, nullptr, nullptr,
                                      instance, nullptr);
    if (!hwnd) return false;
    auto& open = slot(w);
    open = OpenWindow{};
    open.hwnd = hwnd;
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large_icon.get()));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon.get()));

    open.controls.assign(form.controls.size(), nullptr);
    // Created from the last row to the first, then stacked first row on top.
    for (std::size_t row = form.controls.size(); row-- > 0;) {
        const ControlForm& c = form.controls[row];
        const HWND h = CreateWindowExW(0, class_of(c.kind), to_wide(c.text).c_str(), style_of(c), 0, 0, 0, 0,
                                       hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(first_control_id + row)),
                                       instance, nullptr);
        // The edit boxes take text of any length, not the system's default
        // of 32767 characters typed.
        if (c.kind == Kind::line_edit || c.kind == Kind::lines_edit) SendMessageW(h, EM_SETLIMITTEXT, 0, 0);
        if (c.checked) SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0);
        open.controls[row] = h;
    }
    HWND above = HWND_TOP;
    for (HWND h : open.controls) {
        SetWindowPos(h, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = h;
    }
    lay_out(w, window_dpi(hwnd), nullptr);
    return true;
}

void show_window(Window w) {
    if (const HWND hwnd = slot(w).hwnd) {
        ShowWindow(hwnd, SW_SHOWNORMAL);
        UpdateWindow(hwnd);
    }
}

bool window_exists(Window w) { return slot(w).hwnd != nullptr; }

void bring_to_front(Window w) {
    const HWND hwnd = slot(w).hwnd;
    if (!hwnd) return;
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    else SetForegroundWindow(hwnd);
}

void make_topmost(Window w) {
    SetWindowPos(slot(w).hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void queue_close(Window w) {
    auto& open = slot(w);
    if (!open.hwnd || open.close_queued) return;
    open.close_queued = true;
    PostMessageW(open.hwnd, WM_CLOSE, 0, 0);
}

void run_message_loop() {
    loop_entered = true;
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) dispatch(m);
}

void process_pending_events() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE) && m.message != WM_QUIT) {
        if (!PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) break;
        if (m.message == WM_QUIT) {
            // Another quit overtook the one looked at: it stays for the loop.
            PostQuitMessage(static_cast<int>(m.wParam));
            break;
        }
        dispatch(m);
    }
}

void wait_for_events(std::uint32_t ms) { MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, 0); }

void wait_answering(std::uint32_t ms) {
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        // Peeking answers the sent messages; only paint messages are taken.
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE)) DispatchMessageW(&m);
        const auto left = static_cast<std::int32_t>(end - GetTickCount());
        if (left <= 0) return;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left), QS_SENDMESSAGE | QS_PAINT, 0);
    }
}

Text control_text(Ctl c) {
    const HWND h = control(c);
    if (!h) return {};
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(h, text.data(), static_cast<int>(text.size()))));
    return from_wide(text);
}

void set_control_text(Ctl c, const Text& text) {
    if (const HWND h = control(c)) SetWindowTextW(h, to_wide(text).c_str());
}

bool control_checked(Ctl c) {
    const HWND h = control(c);
    return h && SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void set_window_caption(Window w, const Text& caption) {
    if (const HWND hwnd = slot(w).hwnd) SetWindowTextW(hwnd, to_wide(caption).c_str());
}

int message_box(const Text& text, const Text& title, Buttons buttons, Icon icon) {
    const UINT type = MB_TASKMODAL | MB_TOPMOST | (buttons == Buttons::yes_no ? MB_YESNO : MB_OK) |
                      (icon == Icon::error ? MB_ICONERROR : 0);
    const unique_hook raising(SetWindowsHookExW(WH_CBT, raise_box, nullptr, GetCurrentThreadId()));
    switch (MessageBoxW(nullptr, to_wide(text).c_str(), to_wide(title).c_str(), type)) {
        case IDCANCEL: return cancel;
        case IDABORT: return abort;
        case IDRETRY: return retry;
        case IDIGNORE: return ignore;
        case IDYES: return yes;
        case IDNO: return no;
        default: return ok;
    }
}

bool register_f2(Window w, std::int32_t id) {
    auto& open = slot(w);
    // MOD_NOREPEAT spares the repeats of a held key where the system honours it;
    // the binding logic does not count them anyway.
    if (!open.hwnd || !RegisterHotKey(open.hwnd, id, MOD_NOREPEAT, VK_F2)) return false;
    open.hot_key = id;
    return true;
}

void watch_f2_release(Window w) {
    if (const HWND hwnd = slot(w).hwnd) SetTimer(hwnd, f2_release_timer, f2_release_poll_ms, nullptr);
}

void exit_process(int code) { ExitProcess(static_cast<UINT>(code)); }

}  // namespace seam
