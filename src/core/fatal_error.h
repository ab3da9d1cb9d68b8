// The fatal error: a box, then the end of the process without the exit
// handler. text.h declares fatal_error itself, which every element access of
// an Array may raise.
#pragma once

#include <cstdint>

#include "core/text.h"

// The text of the fatal-error box for a code and a message.
Text fatal_error_text(std::int32_t code, const Text& message);
