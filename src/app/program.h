// The life of the process: start-up, the shared variables, the normal end
// and the fatal error.
#pragma once

#include <cstdint>

#include "core/text.h"

// A character-set converter as the update check holds it; -1 when opening
// failed.
using Converter = std::intptr_t;
inline constexpr Converter converter_failed = -1;

// The variables the parts of the program share. Only the GUI thread touches
// them.
extern Bytes page_text;
extern Converter converter;
extern Text latest_version;
extern std::int32_t hotkey_id;
extern std::uint32_t input_box_handle;
extern std::uint32_t send_key_handle;
extern bool sending;

// Start-up to the end of the message loop; gives the exit code of a normal end.
int program_main();
// Frees the shared texts; runs once, on a normal end only.
void on_program_exit();
// The text of the fatal-error box for a code and a message.
Text fatal_error_text(std::int32_t code, const Text& message);
