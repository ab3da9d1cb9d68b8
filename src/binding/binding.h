// Binding the tool to its target: the prompt, and the F2 captures of the
// window under the mouse pointer.
#pragma once

#include <cstdint>

#include "core/seam.h"

// The binding's own variables; only the GUI thread touches them.
struct BindingState {
    // The identifier F2 is registered under, 0 when the registration failed.
    std::int32_t hotkey_id = 0;
    // The last identifier given out: every registration of F2 gets one of its
    // own, so a press meant for an earlier opening of the binding window is
    // never taken for this one.
    std::int32_t last_hot_key_id = 0;
    std::uint32_t input_box_handle = 0;
    std::uint32_t send_key_handle = 0;
    // A press of F2 that counted and has not been released since: the
    // keyboard repeats a held key's key-down, and each repeat comes as one
    // more press.
    bool f2_held = false;
};
extern BindingState binding_state;

// Asks whether to bind now. True when the binding window is to be opened; an
// open one is brought to the front instead.
bool ask_to_bind();
// The created event of the binding window: topmost, F2 registered, the
// captured handles cleared.
void on_binding_created();
// F2 pressed while the binding window holds it; id names the registration.
void on_hotkey(std::int32_t id);
// F2 is up again after a press that counted.
void on_f2_released();
// The window under the pointer, preferring the smallest visible sibling
// below it in the Z order that also holds the pointer; 0 when there is none.
seam::Handle window_under_pointer();
Text read_window_text(seam::Handle handle);
