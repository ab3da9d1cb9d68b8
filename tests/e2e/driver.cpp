#include "driver.h"

#include "practice_target.h"

#include <psapi.h>  // after <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#ifndef KESTRUNE_E2E_PORT
#define KESTRUNE_E2E_PORT 18080
#endif

namespace e2e {

bool wait_until(const std::function<bool()>& predicate, DWORD timeout_ms) {
    const ULONGLONG end = GetTickCount64() + timeout_ms;
    while (GetTickCount64() < end) {
        if (predicate()) return true;
        Sleep(20);
    }
    return predicate();
}

// --- Places -------------------------------------------------------------------

namespace {

// Unix paths of the build reach us through Wine's Z: drive.
std::wstring windows_path(const std::string& unix_path) {
    std::wstring path = L"Z:";
    for (char c : unix_path) path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return path;
}

std::vector<std::string> lines_of(const std::string& s) {
    std::vector<std::string> lines;
    std::istringstream in(s);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::string to_gbk(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

std::wstring build_path(const std::string& relative) {
    return windows_path(std::string(KESTRUNE_E2E_BINARY_DIR) + "/" + relative);
}
std::wstring kestrune_exe() { return windows_path(KESTRUNE_E2E_PROGRAM); }
std::wstring practice_target_exe() { return windows_path(KESTRUNE_E2E_PRACTICE_TARGET); }
std::wstring bare_window_exe() { return windows_path(KESTRUNE_E2E_BARE_WINDOW); }

std::string read_file(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string utf8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

std::string download_url() {
    return "http://127.0.0.1:" + std::to_string(KESTRUNE_E2E_PORT) + download_path;
}

// --- Processes ----------------------------------------------------------------

namespace {

// The driver's environment block with some variables replaced or added.
std::wstring environment_with(const Process::Environment& changes) {
    std::map<std::wstring, std::wstring> vars;  // Windows sorts the block by name
    LPWCH block = GetEnvironmentStringsW();
    for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
        const std::wstring entry = p;
        const auto eq = entry.find(L'=', 1);  // names like "=C:" start with '='
        if (eq != std::wstring::npos) vars[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    FreeEnvironmentStringsW(block);
    for (const auto& [name, value] : changes) vars[name] = value;
    std::wstring result;
    for (const auto& [name, value] : vars) result += name + L"=" + value + L'\0';
    return result + L'\0';
}

}  // namespace

Process Process::launch(const std::wstring& exe, const std::wstring& arguments, const Environment& changes) {
    std::wstring command_line = L"\"" + exe + L"\"";
    if (!arguments.empty()) command_line += L" " + arguments;
    std::wstring environment = changes.empty() ? std::wstring() : environment_with(changes);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    Process p;
    if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        environment.empty() ? nullptr : environment.data(), nullptr, &si, &pi)) {
        std::fprintf(stderr, "cannot start %ls: error %lu\n", exe.c_str(), GetLastError());
        return p;
    }
    CloseHandle(pi.hThread);
    p.process_.reset(pi.hProcess);
    p.id_ = pi.dwProcessId;
    return p;
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        kill();
        process_ = std::move(other.process_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

Process::~Process() { kill(); }

bool Process::running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::wait_for_exit(DWORD timeout_ms) const {
    if (!process_ || WaitForSingleObject(process_.get(), timeout_ms) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

void Process::kill() {
    if (running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 10000);
    }
}

// --- Windows ------------------------------------------------------------------

namespace {

struct EnumState {
    DWORD pid;
    const wchar_t* window_class;
    const std::optional<std::string>* title;
    std::vector<HWND> found;
};

BOOL CALLBACK collect_top_window(HWND w, LPARAM lp) {
    auto& s = *reinterpret_cast<EnumState*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == s.pid && (!s.window_class || class_is(w, s.window_class)) && (!*s.title || text(w) == **s.title))
        s.found.push_back(w);
    return TRUE;
}

}  // namespace

std::vector<HWND> top_windows(DWORD pid, const wchar_t* window_class, const std::optional<std::string>& title) {
    EnumState s{pid, window_class, &title, {}};
    EnumWindows(collect_top_window, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND find_top_window(DWORD pid, const wchar_t* window_class, const std::optional<std::string>& title) {
    const auto found = top_windows(pid, window_class, title);
    return found.empty() ? nullptr : found.front();
}

HWND wait_for_top_window(DWORD pid, const wchar_t* window_class, const std::optional<std::string>& title,
                         DWORD timeout_ms) {
    HWND w = nullptr;
    wait_until([&] { return (w = find_top_window(pid, window_class, title)) != nullptr; }, timeout_ms);
    return w;
}

std::vector<HWND> children(HWND parent) {
    std::vector<HWND> found;
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) found.push_back(w);
    return found;
}

HWND find_child(HWND parent, const wchar_t* window_class, int index) {
    for (HWND w : children(parent))
        if (class_is(w, window_class) && index-- == 0) return w;
    return nullptr;
}

HWND child_by_id(HWND parent, int id) { return GetDlgItem(parent, id); }

std::wstring text_wide(HWND w) {
    // WM_GETTEXT reaches other processes' windows too; GetWindowTextW would
    // only read the caption the system keeps for them.
    // The text may change between the two messages (a running program
    // writes its caption): room for one character more shows that it grew,
    // and then it is read again.
    for (;;) {
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
        std::wstring buffer(length + 2, L'\0');
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(w, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                            SMTO_ABORTIFHUNG, 5000, &copied);
        if (copied > length) continue;
        buffer.resize(copied);
        return buffer;
    }
}

std::string text(HWND w) { return to_gbk(text_wide(w)); }

std::wstring class_name(HWND w) {
    wchar_t name[256] = {};
    GetClassNameW(w, name, 256);
    return name;
}

bool class_is(HWND w, const wchar_t* window_class) { return _wcsicmp(class_name(w).c_str(), window_class) == 0; }

LONG style(HWND w) { return GetWindowLongW(w, GWL_STYLE); }
LONG ex_style(HWND w) { return GetWindowLongW(w, GWL_EXSTYLE); }

RECT window_rect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

RECT rect_in_parent(HWND w) {
    RECT r = window_rect(w);
    MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

POINT centre(HWND w) {
    const RECT r = window_rect(w);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool visible(HWND w) { return IsWindowVisible(w) != FALSE; }
bool enabled(HWND w) { return IsWindowEnabled(w) != FALSE; }

HWND focus_in_thread_of(HWND w) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

int check_state(HWND button) {
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state)) return -1;
    return static_cast<int>(state);
}

std::string describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ") " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

void click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }
void post(HWND w, UINT message, WPARAM wparam, LPARAM lparam) { PostMessageA(w, message, wparam, lparam); }

bool activate(HWND top) {
    // Wine activates another program's window without raising it; the raise
    // follows later, if at all, on the pointer's next visit. Raised here at
    // once, so that what the pointer rests on is known.
    SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetForegroundWindow(top);
    return wait_until([&] { return GetForegroundWindow() == top; }, 5000);
}

bool uncover(HWND top, POINT p) {
    const auto on_top = [&] { return GetAncestor(WindowFromPoint(p), GA_ROOT) == top; };
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (!activate(top)) continue;
        // Late raises came within 150 ms of ours; twice that shows it holds.
        bool stayed = on_top();
        for (int i = 0; i < 15 && stayed; ++i) {
            Sleep(20);
            stayed = on_top();
        }
        if (stayed) return true;
    }
    return false;
}

// --- Keyboard and pointer -----------------------------------------------------

namespace {

INPUT key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

}  // namespace

void press(WORD vk, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> inputs;
    for (WORD m : modifiers) inputs.push_back(key(m, false));
    inputs.push_back(key(vk, false));
    inputs.push_back(key(vk, true));
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) inputs.push_back(key(*m, true));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(50);  // SendInput only queues; give the target a moment to take it in
}

void key_down(WORD vk) {
    INPUT in = key(vk, false);
    SendInput(1, &in, sizeof in);
    Sleep(50);
}

void key_up(WORD vk) {
    INPUT in = key(vk, true);
    SendInput(1, &in, sizeof in);
    Sleep(50);
}

bool move_pointer(POINT p) {
    const auto at_p = [&] {
        POINT now{};
        GetCursorPos(&now);
        return now.x == p.x && now.y == p.y;
    };
    for (int attempt = 0; attempt < 20; ++attempt) {
        SetCursorPos(p.x, p.y);
        // It has to stay put for a while, not just arrive.
        bool stayed = true;
        for (int i = 0; i < 10 && stayed; ++i) {
            Sleep(20);
            stayed = at_p();
        }
        if (stayed) return true;
    }
    return false;
}

// --- Message boxes --------------------------------------------------------------

std::optional<MessageBoxInfo> find_message_box(DWORD pid) {
    for (HWND w : top_windows(pid, L"#32770")) {
        if (!visible(w)) continue;
        MessageBoxInfo box{w, text(w), text(GetDlgItem(w, 0xFFFF))};
        return box;
    }
    return std::nullopt;
}

std::optional<MessageBoxInfo> wait_for_message_box(DWORD pid, DWORD timeout_ms) {
    std::optional<MessageBoxInfo> box;
    // Every box of the program has a title and a text; one read without them
    // was caught between its creation and its first show.
    wait_until([&] { return (box = find_message_box(pid)) && !box->title.empty() && !box->text.empty(); },
               timeout_ms);
    return box;
}

void answer(const MessageBoxInfo& box, int button) {
    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

namespace {

// The static that shows a box's icon, if it holds one.
HWND icon_control(const MessageBoxInfo& box) {
    for (HWND w : children(box.window)) {
        if (!class_is(w, L"Static") || (style(w) & SS_TYPEMASK) != SS_ICON) continue;
        DWORD_PTR icon = 0;
        if (SendMessageTimeoutW(w, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon) && icon) return w;
    }
    return nullptr;
}

}  // namespace

bool shows_icon(const MessageBoxInfo& box) { return icon_control(box) != nullptr; }

bool shows_error_icon(const MessageBoxInfo& box) {
    const HWND icon = icon_control(box);
    if (!icon || !visible(icon)) return false;
    // Drawn once the box has painted: a quarter of the icon's area red.
    return wait_until([&] {
        const RECT r = window_rect(icon);
        HDC screen = GetDC(nullptr);
        int red = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF c = GetPixel(screen, x, y);
                red += GetRValue(c) >= 160 && GetGValue(c) < 100 && GetBValue(c) < 100;
            }
        ReleaseDC(nullptr, screen);
        return red * 4 >= (r.right - r.left) * (r.bottom - r.top);
    }, 3000);
}

// --- What other processes leave behind ----------------------------------------

std::vector<std::string> browser_log() { return lines_of(read_file(build_path("browser.log"))); }

void clear_browser_log() {
    std::ofstream(build_path("browser.log").c_str(), std::ios::binary | std::ios::trunc);
}

Transcript read_transcript(const std::wstring& path) {
    Transcript t;
    for (const std::string& line : lines_of(read_file(path))) {
        if (std::sscanf(line.c_str(), "# acp %u", &t.code_page) == 1) continue;
        char name[32] = {};
        unsigned long w = 0, l = 0, tick = 0;
        if (std::sscanf(line.c_str(), "%31s %lu %lu %lu", name, &w, &l, &tick) == 4)
            t.messages.push_back({name, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(l),
                                  static_cast<std::uint32_t>(tick)});
    }
    return t;
}

std::wstring fresh_transcript_path(const std::string& name) {
    CreateDirectoryW(build_path("e2e-transcripts").c_str(), nullptr);
    const std::wstring path = build_path("e2e-transcripts/" + name + ".txt");
    DeleteFileW(path.c_str());
    return path;
}

std::string side_by_side(const std::vector<KeyMessage>& expected, const std::vector<KeyMessage>& actual) {
    const auto show = [](const std::vector<KeyMessage>& v, std::size_t i) {
        if (i >= v.size()) return std::string("-");
        return v[i].name + " " + std::to_string(v[i].wparam) + " " + std::to_string(v[i].lparam);
    };
    std::string out = "   # expected                    actual\n";
    for (std::size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        const bool same = i < expected.size() && i < actual.size() && expected[i] == actual[i];
        char row[160];
        std::snprintf(row, sizeof row, "%s%3zu %-29s %s\n", same ? " " : "*", i, show(expected, i).c_str(),
                      show(actual, i).c_str());
        out += row;
    }
    return out;
}

PracticeTarget::PracticeTarget(const std::string& name)
    : transcript(fresh_transcript_path(name)),
      process(Process::launch(practice_target_exe(), L"\"" + transcript + L"\"")) {
    // Shown only once its children stand in their final Z order.
    const HWND w = wait_for_top_window(process.id(), practice::window_class);
    if (!w || !wait_until([&] { return visible(w); })) return;
    window = w;
    input = find_child(w, practice::input_class);
    frame = find_child(w, practice::frame_class);
    send = child_by_id(w, practice::send_button_id);
    history = find_child(w, L"ListBox");
}

std::vector<KeyMessage> PracticeTarget::wait_for_messages(std::size_t count) const {
    std::vector<KeyMessage> messages;
    wait_until([&] { return (messages = read_transcript(transcript).messages).size() >= count; });
    return messages;
}

// --- Screenshots ----------------------------------------------------------------

bool save_screenshot(const std::wstring& path, const std::optional<RECT>& part) {
    const RECT r = part.value_or(RECT{0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                      GetSystemMetrics(SM_CYVIRTUALSCREEN)});
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
        SelectObject(memory, old);
        GdiFlush();
        const DWORD row = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
        const DWORD size = row * static_cast<DWORD>(height);
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4D42;  // "BM"
        fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
        fh.bfSize = fh.bfOffBits + size;
        bi.bmiHeader.biSizeImage = size;
        std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
        out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
        out.write(static_cast<const char*>(bits), size);
        saved = out.good();
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

// --- The update server ------------------------------------------------------------

Reply Reply::page(std::string body, std::string status_line) {
    Reply r;
    r.status_line = std::move(status_line);
    r.headers = {"Content-Type: text/html; charset=utf-8", "Content-Length: " + std::to_string(body.size()),
                 "Connection: close"};
    r.body = std::move(body);
    return r;
}

Reply Reply::redirect(const std::string& location) {
    Reply r;
    r.status_line = "HTTP/1.1 302 Found";
    r.headers = {"Location: " + location, "Content-Length: 0", "Connection: close"};
    return r;
}

Reply Reply::endless() {
    Reply r;
    r.kind = Kind::endless;
    r.headers = {"Content-Type: text/html; charset=utf-8", "Connection: close"};
    return r;
}

Reply Reply::no_answer() {
    Reply r;
    r.kind = Kind::close_without_answer;
    return r;
}

namespace {

struct Winsock {
    Winsock() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~Winsock() { WSACleanup(); }
};

bool send_all(SOCKET s, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

HttpServer::HttpServer() {
    static Winsock winsock;
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    // Every test starts a server on the same port right after the last one
    // closed: the previous connections' TIME_WAIT must not stop the bind.
    BOOL reuse = TRUE;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(KESTRUNE_E2E_PORT);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 4) != 0) {
        std::fprintf(stderr, "update server: cannot listen on 127.0.0.1:%d (error %d)\n", KESTRUNE_E2E_PORT,
                     WSAGetLastError());
        closesocket(listener_);
        listener_ = INVALID_SOCKET;
        return;
    }
    thread_ = std::thread([this] { run(); });
}

HttpServer::~HttpServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    if (thread_.joinable()) thread_.join();
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
}

void HttpServer::serve(const std::string& path, Reply reply) {
    std::lock_guard lock(mutex_);
    replies_[path] = std::move(reply);
}

std::vector<std::string> HttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void HttpServer::run() {
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
        }
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener_, &ready);
        timeval wait{0, 50000};
        if (select(0, &ready, nullptr, nullptr, &wait) != 1) continue;
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        handle(client);
        shutdown(client, SD_BOTH);
        closesocket(client);
    }
}

void HttpServer::handle(SOCKET client) {
    // The head of the request, bounded; a client that sends none in 5 s gets nothing.
    DWORD timeout_ms = 5000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout_ms), sizeof timeout_ms);
    setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout_ms), sizeof timeout_ms);
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        const int n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    if (const auto end = head.find("\r\n\r\n"); end != std::string::npos) head.resize(end + 4);
    if (head.empty()) return;

    // "GET /path?query HTTP/1.0": the reply is chosen by the path alone.
    std::istringstream request_line(head.substr(0, head.find("\r\n")));
    std::string method, path;
    request_line >> method >> path;
    path.resize(std::min(path.find('?'), path.size()));

    Reply reply = Reply::page("", "HTTP/1.1 404 Not Found");
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(head);
        if (const auto found = replies_.find(path); found != replies_.end()) reply = found->second;
    }
    if (reply.kind == Reply::Kind::close_without_answer) return;

    std::string response = reply.status_line + "\r\n";
    for (const std::string& header : reply.headers) response += header + "\r\n";
    response += "\r\n";
    if (reply.kind == Reply::Kind::answer) {
        send_all(client, response + reply.body);
        return;
    }
    // Endless: until the client goes away or the test ends.
    if (!send_all(client, response)) return;
    const std::string chunk(4096, 'x');
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
        }
        if (!send_all(client, chunk)) return;
    }
}

// --- Memory -------------------------------------------------------------------------

std::optional<std::size_t> peak_working_set(DWORD pid) {
    const unique_kernel_handle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!process || !GetProcessMemoryInfo(process.get(), &counters, sizeof counters) ||
        counters.PeakWorkingSetSize == 0)
        return std::nullopt;
    return counters.PeakWorkingSetSize;
}

}  // namespace e2e
