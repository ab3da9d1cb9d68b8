#include "core/text.h"

#include <cstring>
#include <limits>

namespace {

bool is_lead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// The width of the character that starts at i: a lead byte claims the byte
// after it as well, and nothing is claimed beyond the end.
std::size_t char_width(std::string_view t, std::size_t i) {
    return is_lead(t[i]) && i + 1 < t.size() ? 2 : 1;
}

bool follows_at(std::string_view t, std::size_t i, std::string_view sub) {
    return std::memcmp(t.data() + i, sub.data(), sub.size()) == 0;
}

char fold_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool follows_at_ignoring_case(std::string_view t, std::size_t i, std::string_view sub) {
    for (std::size_t k = 0; k < sub.size(); ++k)
        if (fold_ascii(t[i + k]) != fold_ascii(sub[k])) return false;
    return true;
}

}  // namespace

int text_compare(std::string_view a, std::string_view b) {
    // char_traits<char> orders bytes as unsigned char, as a text demands.
    const int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::int32_t text_length(std::string_view t) { return static_cast<std::int32_t>(t.size()); }

Text text_join(std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (auto p : pieces) size += p.size();
    Text result;
    result.reserve(size);
    for (auto p : pieces) result.append(p);
    return result;
}

Text int_to_text(std::int32_t n) { return std::to_string(n); }

Text text_copy(std::string_view t) { return Text(t); }

Text bytes_to_text(std::string_view bytes) { return Text(bytes.substr(0, bytes.find('\0'))); }

Text to_halfwidth(std::string_view t) {
    Text result;
    result.reserve(t.size());
    for (std::size_t i = 0; i < t.size();) {
        const auto first = static_cast<unsigned char>(t[i]);
        if (first < 0x80) {
            result.push_back(t[i]);
            ++i;
            continue;
        }
        if (i + 1 == t.size()) break;  // a lead byte without its second byte
        const auto second = static_cast<unsigned char>(t[i + 1]);
        if (first == 0xA1 && second == 0xA1)
            result.push_back(' ');
        else if (first == 0xA1 && second == 0xAB)
            result.push_back('~');
        else if (first == 0xA1 && (second == 0xEE || second == 0xEF))
            result.push_back('*');
        else if (first == 0xA3 && second >= 0xA1 && second <= 0xFE)
            result.push_back(static_cast<char>(second - 0x80));
        else
            result.append(t.substr(i, 2));
        i += 2;
    }
    return result;
}

std::int32_t text_to_int(std::string_view t) {
    const Text folded = to_halfwidth(t);
    std::size_t i = 0;
    while (i < folded.size() && (folded[i] == ' ' || (folded[i] >= '\t' && folded[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) {
        negative = folded[i] == '-';
        ++i;
    }
    // Unsigned, so that the wrap-around at 2^32 is defined arithmetic.
    std::uint32_t value = 0;
    for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(folded[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

Array<Text> text_split(std::string_view t, std::string_view delimiter) {
    std::vector<Text> items;
    if (t.empty()) return Array<Text>(std::move(items));
    if (delimiter.empty()) {
        items.emplace_back(t);
        return Array<Text>(std::move(items));
    }
    std::size_t start = 0;
    std::size_t i = 0;
    while (t.size() - i >= delimiter.size()) {
        if (follows_at(t, i, delimiter)) {
            items.emplace_back(t.substr(start, i - start));
            i += delimiter.size();
            start = i;
        } else if (is_lead(t[i])) {
            if (i + 1 == t.size()) break;
            i += 2;
        } else {
            ++i;
        }
    }
    if (start < t.size()) items.emplace_back(t.substr(start));
    return Array<Text>(std::move(items));
}

std::int32_t text_find(std::string_view t, std::string_view sub, std::int32_t start, bool ignore_case) {
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= t.size()) return -1;
    if (sub.empty()) return 1;
    for (std::size_t i = from; t.size() - i >= sub.size();) {
        if (ignore_case ? follows_at_ignoring_case(t, i, sub) : follows_at(t, i, sub))
            return static_cast<std::int32_t>(i + 1);
        if (is_lead(t[i])) {
            if (i + 1 == t.size()) return -1;
            i += 2;
        } else {
            ++i;
        }
    }
    return -1;
}

Text text_mid(std::string_view t, std::int32_t start, std::int32_t length) {
    if (start < 1 || length <= 0 || static_cast<std::size_t>(start) > t.size()) return Text();
    // substr stops at the end, so start + length never needs computing.
    return Text(t.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(length)));
}

Text text_replace(std::string_view t, std::string_view find, std::string_view replacement) {
    if (t.empty() || find.empty()) return Text(t);
    Text result;
    result.reserve(t.size());
    std::size_t i = 0;
    while (t.size() - i >= find.size()) {
        if (follows_at(t, i, find)) {
            result.append(replacement);
            i += find.size();
        } else {
            const std::size_t width = char_width(t, i);
            result.append(t.substr(i, width));
            i += width;
        }
    }
    result.append(t.substr(i));
    return result;
}

Text text_blank(std::int32_t n) { return n < 1 ? Text() : Text(static_cast<std::size_t>(n), ' '); }

std::int64_t truncate_to_int(double x) {
    // The cast truncates toward zero by the language's rule, not by the
    // rounding mode. Outside the 64-bit range (never reached by sums of two
    // 32-bit integers) it would be undefined, so such values saturate and NaN
    // gives 0.
    constexpr double two_to_63 = 9223372036854775808.0;
    if (x != x) return 0;
    if (x >= two_to_63) return std::numeric_limits<std::int64_t>::max();
    if (x < -two_to_63) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(x);
}
