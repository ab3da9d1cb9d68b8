// The program's events and the one table that says which handler runs for
// which of them. The GUI layer reports clicks and hot keys; the created
// events run inside open_window. Nothing else calls a handler.
#pragma once

#include <cstdint>

#include "core/forms.h"

enum class Event : std::uint8_t {
    created,
    click,
    hot_key,
    hot_key_released,  // F2 is up again after a press the binding window was told of
};

// Runs the handler the table names for the event of the window, if any.
// control: the clicked control (main window only); value: the hot key's
// identifier. Nothing a handler throws (memory running out for a huge text,
// say) leaves it, so nothing crosses the system's window procedure: that
// handler ends, the user is told, and the program goes on.
void on_event(Window w, Event e, Ctl control = {}, std::int32_t value = 0) noexcept;
// Creates the window from its form, runs its created event and then shows it
// if it still exists. False, with nothing run, when it cannot be made.
bool open_window(Window w);
