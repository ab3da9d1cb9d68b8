// Typing into the target: the send loop, the posting of characters and keys,
// and the random letter suffix.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/seam.h"

// The window messages posted to the target (the system's WM_ values).
inline constexpr std::uint32_t wm_keydown = 0x0100;
inline constexpr std::uint32_t wm_keyup = 0x0101;
inline constexpr std::uint32_t wm_char = 0x0102;
inline constexpr std::uint32_t wm_syskeydown = 0x0104;
inline constexpr std::uint32_t wm_syskeyup = 0x0105;

void post_message(seam::Handle handle, std::uint32_t message, std::uint32_t wparam, std::uint32_t lparam);
// One WM_CHAR per byte of the text, lead byte before trail byte.
void post_text(seam::Handle handle, std::string_view text);
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
};
extern SendingState sending_state;

std::int32_t random_pick(std::int32_t lo, std::int32_t count);

// The click of 按钮2: starts a run, or asks the running one to stop.
void start_or_stop();
void send_loop();
// Waits at least ms by the tick count while dispatching window events.
void wait_with_events(std::int32_t ms);
