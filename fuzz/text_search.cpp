// text_find, text_split and text_replace on arbitrary bytes. A match may only
// begin where a character begins, so each result is checked against a plain
// walk over the character starts, and the three operations must agree on
// where the matches are.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "check.h"
#include "core/text.h"

namespace {

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool follows(std::string_view t, std::size_t i, std::string_view sub, bool ignore_case) {
    if (t.size() - i < sub.size()) return false;
    for (std::size_t k = 0; k < sub.size(); ++k) {
        const char a = t[i + k];
        const char b = sub[k];
        if (ignore_case ? fold(a) != fold(b) : a != b) return false;
    }
    return true;
}

// The first character start at or after `from` (itself a start) where sub
// follows, as a 1-based position; -1 when there is none.
std::int32_t first_match(std::string_view t, std::size_t from, std::string_view sub, bool ignore_case) {
    for (std::size_t i = from; i < t.size();) {
        if (follows(t, i, sub, ignore_case)) return static_cast<std::int32_t>(i + 1);
        const bool lead = static_cast<unsigned char>(t[i]) >= 0x80;
        i += lead ? 2 : 1;
    }
    return -1;
}

void check_find(std::string_view t, std::string_view sub, std::int32_t start, bool ignore_case) {
    const std::int32_t found = text_find(t, sub, start, ignore_case);
    require(found == -1 || (found >= 1 && static_cast<std::size_t>(found) <= t.size()),
            "text_find gives -1 or a position inside the text");
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
    std::int32_t expected = -1;
    if (from < t.size()) expected = sub.empty() ? 1 : first_match(t, from, sub, ignore_case);
    require(found == expected, "text_find gives the first match at a character start");
}

void check_split(std::string_view t, std::string_view delimiter) {
    const Array<Text> pieces = text_split(t, delimiter);
    if (t.empty()) {
        require(pieces.count() == 0, "an empty text splits into nothing");
        return;
    }
    if (delimiter.empty()) {
        require(pieces.count() == 1 && pieces.at(1) == t, "no delimiter leaves the text whole");
        return;
    }
    const Text joined = join_with(pieces, delimiter);
    // A delimiter at the very end adds no empty last piece.
    require(joined == t || joined + Text(delimiter) == t, "the pieces rejoin to the text");
    for (std::int32_t i = 1; i <= pieces.count(); ++i)
        require(text_find(pieces.at(i), delimiter) == -1, "no piece holds the delimiter");
}

void check_replace(std::string_view t, std::string_view find, std::string_view replacement) {
    require(text_replace(t, find, find) == t, "replacing a text by itself changes nothing");
    const Text replaced = text_replace(t, find, replacement);
    if (t.empty() || find.empty()) {
        require(replaced == t, "nothing to find leaves the text as it is");
        return;
    }
    // The occurrences are exactly where text_split cuts.
    const Array<Text> pieces = text_split(t, find);
    const bool ends_with_find = join_with(pieces, find) != t;
    const Text expected = join_with(pieces, replacement) + (ends_with_find ? Text(replacement) : Text());
    require(replaced == expected, "text_replace replaces where text_split cuts");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const bool ignore_case = in.ConsumeBool();
    // Mostly starts around the text, now and then any 32-bit value.
    const std::int32_t start = in.ConsumeBool() ? in.ConsumeIntegral<std::int32_t>()
                                                : in.ConsumeIntegralInRange<std::int32_t>(-2, 200);
    const std::string sub = in.ConsumeRandomLengthString(16);
    const std::string replacement = in.ConsumeRandomLengthString(16);
    const std::string text = in.ConsumeRemainingBytesAsString();

    check_find(text, sub, start, ignore_case);
    check_split(text, sub);
    check_replace(text, sub, replacement);
    return 0;
}
