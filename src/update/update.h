// The update check: the published version is the text between two markers
// of a short web page, compared with this program's own version.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/program.h"
#include "core/text.h"

// The program's own version, as the update page publishes it.
inline constexpr const char* own_version = "1.0";

// The text after the first start marker and before the next end marker, or
// empty. "#引号" in a marker stands for one double quote.
Text text_between(std::string_view text, std::string_view start_marker, std::string_view end_marker,
                  std::int32_t start = 0, bool ignore_case = false);

// A character-set converter (iconv's names: "UTF-8", "GBK"); converter_failed
// when the pair cannot be opened.
Converter open_converter(const Text& from, const Text& to);
// All or nothing: an input that is not valid in the source encoding, ends
// inside a character or holds a character the target lacks gives empty.
Bytes convert_bytes(Converter handle, std::string_view input);
bool close_converter(Converter handle);
