// PracticeTarget.exe [transcript-path]
//
// A small chat-like window to bind to and send to: a history list, an input
// box and a Send button. The input box writes every WM_CHAR, WM_KEYDOWN and
// WM_KEYUP it receives to the transcript, one line each, in the order received:
//
//     # acp 936                    (the ANSI code page, once at the top)
//     WM_CHAR <wparam> <lparam> <tick>
//
// It is an ANSI window pumped with GetMessageA, so a GBK character posted as a
// lead and a trail byte arrives as two WM_CHAR, exactly as they were posted.
// It shows the typed text, and Return (or Send) moves it to the history.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "practice_target.h"

namespace {

FILE* transcript = nullptr;
HWND history = nullptr;
HWND input = nullptr;
std::string typed;  // GBK bytes

std::wstring from_gbk(const std::string& bytes) {
    std::wstring wide(bytes.size(), L'\0');
    const int n = MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()),
                                      wide.data(), static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return wide;
}

void record(const char* name, WPARAM wparam, LPARAM lparam) {
    if (!transcript) return;
    std::fprintf(transcript, "%s %lu %lu %lu\n", name, static_cast<unsigned long>(wparam & 0xFFFFFFFFu),
                 static_cast<unsigned long>(static_cast<DWORD>(lparam)), GetTickCount());
    std::fflush(transcript);  // the test reads it while we run
}

void commit_line() {
    if (typed.empty()) return;  // like a chat program, nothing to send
    SendMessageW(history, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(from_gbk(typed).c_str()));
    typed.clear();
    InvalidateRect(input, nullptr, TRUE);
}

void erase_last_character() {
    std::size_t i = 0, last = 0;
    while (i < typed.size()) {
        last = i;
        i += static_cast<unsigned char>(typed[i]) >= 0x80 ? 2 : 1;
    }
    typed.resize(last);
}

LRESULT CALLBACK input_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_CHAR:
        record("WM_CHAR", wparam, lparam);
        if (wparam == '\b') {
            erase_last_character();
        } else if (wparam != '\r' && wparam != '\n') {
            typed.push_back(static_cast<char>(wparam & 0xFF));
        }
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_KEYDOWN:
        record("WM_KEYDOWN", wparam, lparam);
        if (wparam == VK_RETURN) commit_line();
        return 0;
    case WM_KEYUP:
        record("WM_KEYUP", wparam, lparam);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        InflateRect(&r, -4, -3);
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        const std::wstring shown = from_gbk(typed);
        DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &r, DT_WORDBREAK | DT_NOPREFIX);
        EndPaint(hwnd, &ps);
        return 0;
    }
    }
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

// Hit-tests as client everywhere and paints only its border and caption strip;
// WS_EX_TRANSPARENT lets the input box below it show through.
LRESULT CALLBACK frame_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
        RECT strip{r.left + 1, r.top + 1, r.right - 1, r.top + 17};
        FillRect(dc, &strip, GetSysColorBrush(COLOR_ACTIVECAPTION));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        strip.left += 4;
        DrawTextW(dc, L"编辑消息", -1, &strip, DT_SINGLELINE | DT_VCENTER);
        EndPaint(hwnd, &ps);
        return 0;
    }
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

LRESULT CALLBACK main_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wparam) == practice::send_button_id && HIWORD(wparam) == BN_CLICKED) commit_line();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

void place_below(HWND hwnd, HWND above) {
    SetWindowPos(hwnd, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv && argc > 1) transcript = _wfopen(argv[1], L"wb");
    LocalFree(argv);
    if (transcript) {
        std::fprintf(transcript, "# acp %u\n", GetACP());
        std::fflush(transcript);
    }

    WNDCLASSW main_class{};
    main_class.lpfnWndProc = main_proc;
    main_class.hInstance = instance;
    main_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    main_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    main_class.lpszClassName = practice::window_class;
    RegisterClassW(&main_class);

    WNDCLASSA input_class{};
    input_class.lpfnWndProc = input_proc;
    input_class.hInstance = instance;
    input_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_IBEAM));
    input_class.lpszClassName = practice::input_class_ansi;
    RegisterClassA(&input_class);

    WNDCLASSW frame_class{};
    frame_class.lpfnWndProc = frame_proc;
    frame_class.hInstance = instance;
    frame_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    frame_class.lpszClassName = practice::frame_class;
    RegisterClassW(&frame_class);

    HWND window = CreateWindowExW(0, practice::window_class, L"练习对象",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                  practice::left, practice::top, practice::width, practice::height,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    history = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                              8, 8, 376, 100, window, nullptr, instance, nullptr);
    HWND send = CreateWindowExW(0, L"BUTTON", L"发送", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                304, 134, 72, 28, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(practice::send_button_id)),
                                instance, nullptr);
    input = CreateWindowExA(0, practice::input_class_ansi, practice::input_text, WS_CHILD | WS_VISIBLE,
                            16, 134, 280, 80, window, nullptr, instance, nullptr);
    HWND frame = CreateWindowExW(WS_EX_TRANSPARENT, practice::frame_class, nullptr, WS_CHILD | WS_VISIBLE,
                                 8, 114, 376, 108, window, nullptr, instance, nullptr);
    SendMessageW(history, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(send, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    // Z order from the top: frame, input box, Send, history.
    place_below(frame, HWND_TOP);
    place_below(input, frame);
    place_below(send, input);
    place_below(history, send);

    ShowWindow(window, show);
    UpdateWindow(window);
    SetFocus(input);

    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        // Only a real key press (repeat count of at least 1) is translated:
        // messages posted by another program reach the box exactly as posted,
        // with no WM_CHAR of our own making added.
        if (m.message == WM_KEYDOWN && m.lParam != 0) TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    if (transcript) std::fclose(transcript);
    return static_cast<int>(m.wParam);
}
