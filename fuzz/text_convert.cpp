// to_halfwidth, text_to_int and text_mid on arbitrary bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "check.h"
#include "core/text.h"

namespace {

// text_to_int for ASCII text, written from the rule: blanks, one sign,
// digits, all modulo 2^32.
std::int32_t ascii_to_int(std::string_view t) {
    constexpr std::uint64_t modulus = std::uint64_t{1} << 32;
    std::size_t i = t.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string_view::npos) return 0;
    const bool negative = t[i] == '-';
    if (t[i] == '+' || t[i] == '-') ++i;
    std::uint64_t value = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i)
        value = (value * 10 + static_cast<std::uint64_t>(t[i] - '0')) % modulus;
    if (negative) value = (modulus - value) % modulus;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// The full-width GBK form of each printable ASCII character, the ideographic
// space for a space; control characters stay.
Text widen(std::string_view t) {
    Text wide;
    for (const char c : t) {
        if (c == ' ') {
            wide += "\xA1\xA1";
        } else if (c > ' ' && c < 0x7F) {
            wide += '\xA3';
            wide += static_cast<char>(c + 0x80);
        } else {
            wide += c;
        }
    }
    return wide;
}

void check_halfwidth_and_int(std::string_view t) {
    const Text half = to_halfwidth(t);
    require(half.size() <= t.size(), "to_halfwidth never grows the text");
    require(to_halfwidth(half) == half, "to_halfwidth leaves nothing to fold a second time");
    require(text_to_int(half) == text_to_int(t), "text_to_int reads the folded text");
    if (!is_ascii(t)) return;
    require(half == t, "to_halfwidth leaves ASCII as it is");
    require(text_to_int(t) == ascii_to_int(t), "text_to_int follows the rule on ASCII");
    const Text wide = widen(t);
    require(to_halfwidth(wide) == t, "to_halfwidth folds the full-width forms to ASCII");
    require(text_to_int(wide) == text_to_int(t), "full-width digits, signs and spaces count as ASCII");
}

void check_mid(std::string_view t, std::int32_t start, std::int32_t length) {
    const Text mid = text_mid(t, start, length);
    const bool inside = start >= 1 && static_cast<std::size_t>(start) <= t.size() && length > 0;
    if (!inside) {
        require(mid.empty(), "text_mid outside the text gives the empty text");
        return;
    }
    const std::size_t rest = t.size() - static_cast<std::size_t>(start) + 1;
    require(mid.size() == std::min(static_cast<std::size_t>(length), rest),
            "text_mid gives the length asked for, cut at the end");
    require(t.substr(static_cast<std::size_t>(start) - 1, mid.size()) == mid,
            "text_mid gives the bytes at the start asked for");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const bool any_numbers = in.ConsumeBool();
    const std::int32_t start = any_numbers ? in.ConsumeIntegral<std::int32_t>()
                                           : in.ConsumeIntegralInRange<std::int32_t>(-2, 200);
    const std::int32_t length = any_numbers ? in.ConsumeIntegral<std::int32_t>()
                                            : in.ConsumeIntegralInRange<std::int32_t>(-2, 200);
    const std::string text = in.ConsumeRemainingBytesAsString();

    check_halfwidth_and_int(text);
    check_mid(text, start, length);
    return 0;
}
