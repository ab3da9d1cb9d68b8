// The update check: the published version is the text between two markers
// of a short web page, compared with this program's own version.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/seam.h"
#include "core/text.h"

// The program's own version, as the update page publishes it.
inline constexpr const char* own_version = "1.0";

// The text after the first start marker and before the next end marker, or
// empty. "#引号" in a marker stands for one double quote.
Text text_between(std::string_view text, std::string_view start_marker, std::string_view end_marker,
                  std::int32_t start = 0, bool ignore_case = false);

// What the update check keeps between its steps; only the GUI thread
// touches it.
struct UpdateState {
    Bytes page_text;
    seam::Converter converter = 0;
    Text latest_version;
};
extern UpdateState update_state;

// The created event of the main window. True when the page publishes this
// version and the program goes on; otherwise the user has been sent to the
// download and the main window's close is queued.
bool update_check();
