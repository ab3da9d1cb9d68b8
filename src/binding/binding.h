// Binding the tool to its target: the prompt, and the F2 captures of the
// window under the mouse pointer.
#pragma once

#include "core/seam.h"

// Asks whether to bind now; on Yes opens the binding window (or brings the
// open one to the front).
void ask_to_bind();
// The window under the pointer, preferring the smallest visible sibling
// below it in the Z order that also holds the pointer; 0 when there is none.
seam::Handle window_under_pointer();
Text read_window_text(seam::Handle handle);
