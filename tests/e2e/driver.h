// The end-to-end driver: starts programs under test, reads and works their
// windows from outside as a user or another program would, serves the update
// page on loopback and keeps screenshots of failures.
//
// Texts of windows are compared as GBK bytes (code page 936), the form in
// which the program's own sources hold them.
#pragma once

#include <winsock2.h>  // before <windows.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/unique_handle.h"

namespace e2e {

// Polls the predicate every 20 ms; true as soon as it holds, false when the
// time is up (the predicate is tried once more at the end).
bool wait_until(const std::function<bool()>& predicate, DWORD timeout_ms = 10000);

// --- Places -------------------------------------------------------------------
// A file of the build directory, as a Windows path: "e2e/Kestrune.exe".
std::wstring build_path(const std::string& relative);
std::wstring kestrune_exe();        // the build that fetches from the fixture server
std::wstring practice_target_exe();
std::wstring bare_window_exe();     // one plain top-level window of class "BareWindow"
std::string read_file(const std::wstring& path);  // empty when missing

// --- Processes ----------------------------------------------------------------
struct CloseHandleFn {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using unique_kernel_handle = unique_handle<HANDLE, CloseHandleFn>;

// A started program. The owner kills it, if it still runs, when it goes.
class Process {
public:
    using Environment = std::vector<std::pair<std::wstring, std::wstring>>;
    // Starts exe with the command-line arguments (already quoted as needed)
    // and the driver's environment with the given variables replaced.
    static Process launch(const std::wstring& exe, const std::wstring& arguments = {},
                          const Environment& changes = {});

    Process() = default;
    Process(Process&&) noexcept = default;
    Process& operator=(Process&& other) noexcept;
    ~Process();

    DWORD id() const { return id_; }
    bool running() const;
    // The exit code once the process has ended within the timeout.
    std::optional<DWORD> wait_for_exit(DWORD timeout_ms = 10000) const;
    void kill();

private:
    unique_kernel_handle process_;
    DWORD id_ = 0;
};

// --- Windows ------------------------------------------------------------------
// The top-level windows of a process (hidden ones included), in Z order, whose
// class and GBK title match where given.
std::vector<HWND> top_windows(DWORD pid, const wchar_t* window_class = nullptr,
                              const std::optional<std::string>& title = std::nullopt);
HWND find_top_window(DWORD pid, const wchar_t* window_class,
                     const std::optional<std::string>& title = std::nullopt);
// Waits for such a window; nullptr when none appeared in time.
HWND wait_for_top_window(DWORD pid, const wchar_t* window_class,
                         const std::optional<std::string>& title = std::nullopt, DWORD timeout_ms = 15000);

// Direct children: the index-th of a class in Z order (0 = topmost), or by id.
HWND find_child(HWND parent, const wchar_t* window_class, int index = 0);
HWND child_by_id(HWND parent, int id);
std::vector<HWND> children(HWND parent);  // Z order, topmost first

std::wstring text_wide(HWND w);
std::string text(HWND w);  // GetWindowTextW converted to GBK
std::wstring class_name(HWND w);
bool class_is(HWND w, const wchar_t* window_class);  // case-insensitive, as the system compares
LONG style(HWND w);
LONG ex_style(HWND w);
RECT window_rect(HWND w);   // screen coordinates
RECT rect_in_parent(HWND w);  // in the parent's client coordinates
POINT centre(HWND w);  // of the window rect, in screen coordinates
bool visible(HWND w);
bool enabled(HWND w);
// The window with the keyboard focus in the thread that owns w.
HWND focus_in_thread_of(HWND w);
// BM_GETCHECK; -1 when the window does not answer.
int check_state(HWND button);
// Window rect containment and sizes, for messages that compare them.
std::string describe(const RECT& r);

// Posted, never sent: a click handler may run a loop that only returns later.
void click(HWND button);
// PostMessageA: a WM_CHAR carries one byte of the ANSI code page, exactly as
// the program posts them to its target.
void post(HWND w, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
// Brings the window to the top and to the foreground, so that keys reach it
// and it stands above the windows it overlaps.
bool activate(HWND top);
// Brings top forward and waits until the window at p has stayed one of its
// own for a moment, raising it again whenever another came back over it: under
// Wine a program that has just shown a window may raise it again a little later.
bool uncover(HWND top, POINT p);

// --- Keyboard and pointer -----------------------------------------------------
// One press and release of a virtual key through SendInput, with the given
// modifier keys held around it.
void press(WORD vk, std::initializer_list<WORD> modifiers = {});
// Half a press: a key-down alone (as the keyboard repeats it while the key is
// held), or the key-up.
void key_down(WORD vk);
void key_up(WORD vk);
// Moves the pointer and waits until it stays there: Wine may put it back for
// a moment after SetCursorPos.
bool move_pointer(POINT p);

// --- Message boxes --------------------------------------------------------------
struct MessageBoxInfo {
    HWND window = nullptr;
    std::string title;  // GBK
    std::string text;   // GBK, the static with id 0xFFFF
};
std::optional<MessageBoxInfo> find_message_box(DWORD pid);
std::optional<MessageBoxInfo> wait_for_message_box(DWORD pid, DWORD timeout_ms = 15000);
// Posts the button's WM_COMMAND: IDOK, IDYES or IDNO.
void answer(const MessageBoxInfo& box, int button);
// Whether the box's icon control holds an icon, and whether what it draws is
// the error icon: the system's icons differ by colour (error red, warning
// yellow, information and question blue), read off the screen.
bool shows_icon(const MessageBoxInfo& box);
bool shows_error_icon(const MessageBoxInfo& box);

// --- What other processes leave behind ----------------------------------------
// The addresses the shell opened in the "browser" of this session, one a line.
std::vector<std::string> browser_log();
void clear_browser_log();

// The practice target's record of its input box.
struct KeyMessage {
    std::string name;  // WM_CHAR, WM_KEYDOWN, WM_KEYUP
    std::uint32_t wparam = 0, lparam = 0, tick = 0;
    bool operator==(const KeyMessage& o) const {  // the tick is not compared
        return name == o.name && wparam == o.wparam && lparam == o.lparam;
    }
};
struct Transcript {
    unsigned code_page = 0;  // the target's ANSI code page
    std::vector<KeyMessage> messages;
};
Transcript read_transcript(const std::wstring& path);
// A path for a new transcript in <build>/e2e-transcripts; no file there yet.
std::wstring fresh_transcript_path(const std::string& name);
// Expected and actual side by side, one message a row, for a failure message.
std::string side_by_side(const std::vector<KeyMessage>& expected, const std::vector<KeyMessage>& actual);

// The practice target, started with a fresh transcript and shown.
struct PracticeTarget {
    explicit PracticeTarget(const std::string& name);
    std::vector<KeyMessage> wait_for_messages(std::size_t count) const;

    std::wstring transcript;
    Process process;
    HWND window = nullptr;  // all null when it did not come up
    HWND input = nullptr, frame = nullptr, send = nullptr, history = nullptr;
};

// --- Screenshots ----------------------------------------------------------------
// The whole desktop, or the part of it given in screen coordinates, as a 24-bit BMP.
bool save_screenshot(const std::wstring& path, const std::optional<RECT>& part = std::nullopt);

// --- The update server ------------------------------------------------------------
// One answer of the fixture server.
struct Reply {
    enum class Kind { answer, endless, close_without_answer };
    Kind kind = Kind::answer;
    std::string status_line = "HTTP/1.1 200 OK";
    std::vector<std::string> headers;  // "Name: value", sent as given
    std::string body;                  // bytes

    // 200 with the body, its length and a UTF-8 content type.
    static Reply page(std::string body, std::string status_line = "HTTP/1.1 200 OK");
    static Reply redirect(const std::string& location);
    // Headers, then body bytes for as long as the client reads them.
    static Reply endless();
    static Reply no_answer();
};

// The bytes of a UTF-8 literal (u8"..."), whatever the execution character set.
std::string utf8(const char8_t* s);
// The GBK bytes of a wide text (code page 936).
std::string to_gbk(const std::wstring& wide);

// A one-connection-at-a-time HTTP server on 127.0.0.1:KESTRUNE_E2E_PORT. It
// answers each path with its reply (404 and an empty body for others) and
// records every request's head (request line and headers).
class HttpServer {
public:
    HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;
    ~HttpServer();

    bool listening() const { return listener_ != INVALID_SOCKET; }
    void serve(const std::string& path, Reply reply);
    std::vector<std::string> requests() const;

private:
    void run();
    void handle(SOCKET client);

    SOCKET listener_ = INVALID_SOCKET;
    mutable std::mutex mutex_;
    std::map<std::string, Reply> replies_;
    std::vector<std::string> requests_;
    bool stopping_ = false;
    std::thread thread_;
};

inline constexpr const char* update_path = "/s/1geMSzuV";
inline constexpr const char* download_path = "/xz/gx2.zip";
// The download address the e2e build of the program opens.
std::string download_url();

// --- Memory -------------------------------------------------------------------------
// The highest working set the running process has had so far, in bytes;
// nullopt where the system does not tell it for another process.
std::optional<std::size_t> peak_working_set(DWORD pid);

}  // namespace e2e
