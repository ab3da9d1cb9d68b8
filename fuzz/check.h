// What the fuzz targets share: a failed property ends the run as a crash,
// which libFuzzer reports and keeps the input of.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/text.h"

inline void require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

inline bool is_ascii(std::string_view t) {
    for (const char c : t)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The pieces with the glue between each two of them.
inline Text join_with(const Array<Text>& pieces, std::string_view glue) {
    Text joined;
    for (std::int32_t i = 1; i <= pieces.count(); ++i) {
        if (i > 1) joined += glue;
        joined += pieces.at(i);
    }
    return joined;
}
