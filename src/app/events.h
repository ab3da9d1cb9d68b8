// The handlers the GUI layer calls; there are no others.
#pragma once

#include <cstdint>

#include "core/forms.h"

// Created, of the main window: runs inside start-up before the window shows.
void update_check();
// A click on a button of the main window.
void on_click(Ctl button);
// Created, of the binding window: runs inside its opening, before it shows.
void on_binding_created();
// F2 pressed while the binding window holds it; id names the registration.
void on_hotkey(std::int32_t id);
