// Typing into the target: the send loop, the posting of characters and keys,
// and the random letter suffix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/seam.h"

// The window messages posted to the target (the system's WM_ values).
inline constexpr std::uint32_t wm_keydown = 0x0100;
inline constexpr std::uint32_t wm_keyup = 0x0101;
inline constexpr std::uint32_t wm_char = 0x0102;
inline constexpr std::uint32_t wm_syskeydown = 0x0104;
inline constexpr std::uint32_t wm_syskeyup = 0x0105;

// A target whose queue is full is waited for, at most this long without it
// taking a message; then the message is given up.
inline constexpr std::uint32_t full_queue_patience_ms = 5000;
// The longest suffix a line gets: a larger count in 编辑框3 is taken as this.
inline constexpr std::int32_t max_suffix_letters = 1000000;
// Characters typed between two looks at the program's own events.
inline constexpr std::size_t characters_per_burst = 256;

// PostMessageA, waiting out a full queue of the target's. The waits answer
// what is sent to our windows and repaint them but take no input, so no
// handler of ours runs in the middle of the message's character.
seam::PostResult post_message(seam::Handle handle, std::uint32_t message, std::uint32_t wparam, std::uint32_t lparam);

// How typing a text ended.
enum class Typed : std::uint8_t {
    whole,    // every byte is in the target's queue (or was refused as posts may be)
    stopped,  // a click on 按钮2 came while typing: the rest is not typed
    closed,   // the main window was closed while typing
    dropped,  // the target is gone or took nothing for full_queue_patience_ms
    refused,  // the target refuses messages from this program
};
// One WM_CHAR per byte of the text, lead byte before trail byte. Between
// bursts of characters, and while the target's queue is full, the program's
// events are dispatched, so the window answers and a stop click takes effect
// in the middle of a long text; a double-byte character is never split.
Typed post_text(seam::Handle handle, std::string_view text);
void post_key(seam::Handle handle, std::int32_t key, std::int32_t state, std::int32_t as_key,
              std::int32_t system = 0);

// count letters; mode 0 lower-case, 1 upper-case, otherwise alternating.
Text random_letters(std::int32_t count, std::int32_t mode = 0);
std::int32_t random_in_range(std::int32_t lo, std::int32_t hi);

// The sending's own variables; only the GUI thread touches them.
struct SendingState {
    // Set by a start click, cleared by a stop click; the run ends at the
    // next cycle's check.
    bool sending = false;
    // The generator behind random line picks: one per process, 1 at start.
    std::uint32_t line_pick_state = 1;
    // Clicks of 按钮2 so far: typing that sees this change stops, so a run
    // started or stopped in the middle of a line never types into it.
    std::uint32_t start_stop_clicks = 0;
};
extern SendingState sending_state;

std::int32_t random_pick(std::int32_t lo, std::int32_t count);

// The click of 按钮2: starts a run, or asks the running one to stop.
void start_or_stop();
void send_loop();
// Waits at least ms by the tick count while dispatching window events.
void wait_with_events(std::int32_t ms);
