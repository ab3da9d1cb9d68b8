// Reading the main window's controls the way the logic needs them.
#pragma once

#include <cstdint>

#include "core/forms.h"

// The control's text read as an integer (text_to_int); an empty text gives 0.
std::int32_t read_control_int(Ctl c);
