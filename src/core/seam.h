// The one seam between the program's logic and the system.
//
// Everything that decides something (which line, which window, which outcome
// of the update check) is portable code that reaches the outside world only
// through these functions. The program links the Win32 side (the *_win32.cpp
// files); the native unit tests link a scriptable fake instead, all but the
// character-set conversion, whose two system sides both run the tests.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/forms.h"
#include "core/text.h"

namespace seam {

// A system window handle as the program holds it: 32 bits, shown in labels as
// the signed decimal text of the same bits.
using Handle = std::uint32_t;

struct Point {
    std::int32_t x, y;
};
struct Rect {
    std::int32_t left, top, right, bottom;
};

// Message box answers, as the program numbers them.
enum Answer : int { ok = 0, cancel = 1, abort = 2, retry = 3, ignore = 4, yes = 5, no = 6 };
enum class Buttons : std::uint8_t { ok, yes_no };
enum class Icon : std::uint8_t { none, error };

// --- The program's own windows ---------------------------------------------
// Creates the window and its controls from its form, not yet visible.
bool create_window(Window w);
void show_window(Window w);
bool window_exists(Window w);
// Restores a minimised window, otherwise activates it.
void bring_to_front(Window w);
// Topmost without moving, sizing or activating it.
void make_topmost(Window w);
// The close is carried out when the message loop dispatches it; a second
// request before then changes nothing.
void queue_close(Window w);
// Takes and dispatches messages until the quit message.
void run_message_loop();
// Dispatches what is queued, as the message loop would, until the queue is
// empty or the quit message is next; the quit message stays for the loop.
void process_pending_events();
// Sleeps until a message arrives or ms have passed, whichever comes first.
void wait_for_events(std::uint32_t ms);
// Sleeps ms, meanwhile answering what other threads and programs send to our
// windows and repainting them, but taking no input: no handler of ours runs.
void wait_answering(std::uint32_t ms);

Text control_text(Ctl c);
void set_control_text(Ctl c, const Text& text);
bool control_checked(Ctl c);
void set_window_caption(Window w, const Text& caption);

// No owner window, task-modal; the title is "信息：" unless given.
int message_box(const Text& text, const Text& title, Buttons buttons, Icon icon);

// F2 without modifier keys, held system-wide for the window under the
// identifier id while it exists. False when the system refuses it.
bool register_f2(Window w, std::int32_t id);
// A held key repeats its key-down, and the system reports every repeat of F2
// as another press. After a press, the window gets the F2-released event once
// the key is up again.
void watch_f2_release(Window w);

// --- Other programs' windows ------------------------------------------------
Point cursor_pos();
Handle window_from_point(Point p);
Handle parent_of(Handle h);
// The window after h in the Z order (GetWindow with GW_HWNDNEXT).
Handle next_window(Handle h);
Rect window_rect(Handle h);
bool is_visible(Handle h);
// A window's text in GBK whatever the system's code page, as GetWindowTextA
// gives it where that is 936: its length in bytes, and at most
// buffer_size - 1 bytes of it.
std::int32_t window_text_length(Handle h);
Text window_text(Handle h, std::int32_t buffer_size);
// What became of a posted message.
enum class PostResult : std::uint8_t {
    queued,
    queue_full,  // the target's queue holds all it may; it may take more later
    gone,        // the handle is no longer a window
    refused,     // the target runs with higher rights than this program
    failed,      // any other failure
};
// PostMessageA.
PostResult post(Handle h, std::uint32_t message, std::uint32_t wparam, std::uint32_t lparam);

// --- Time, the network, the shell, the process ------------------------------
std::uint32_t tick_count();
std::uint64_t read_time_stamp_counter();
// The body of one GET of the address; empty on any failure.
Bytes fetch_url(const Text& address);
void open_url(const Text& address);

// A character-set converter, iconv's descriptor natively and a pair of code
// pages on Windows; the names are iconv's ("UTF-8", "GBK"). Both sides run
// the same converter tests, GBK being iconv's: no private-use characters.
using Converter = std::intptr_t;
inline constexpr Converter converter_failed = -1;
// converter_failed when the pair cannot be opened.
Converter open_converter(const Text& from, const Text& to);
// All or nothing: an input that is not valid in the source encoding, ends
// inside a character or holds a character the target lacks gives empty.
Bytes convert_bytes(Converter handle, std::string_view input);
bool close_converter(Converter handle);

[[noreturn]] void exit_process(int code);

}  // namespace seam
