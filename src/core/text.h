// Texts, byte strings, numbers and arrays as the whole program handles them.
//
// A Text is a run of GBK (code page 936) bytes that ends at its first zero
// byte, so it never holds one; the empty text and an absent text are the same
// value. A byte of 0x80 or above starts a two-byte character, and every search
// steps over such a character as a whole. Positions are 1-based byte
// positions; a search that finds nothing gives -1.
//
// Bytes is any run of bytes, zero included (a downloaded page, say).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using Text = std::string;
using Bytes = std::string;

// The two index faults of every element access; both end the process.
inline constexpr std::int32_t index_below_one_code = 4;
inline constexpr std::int32_t index_above_count_code = 1;
extern const char* const index_below_one_message;
extern const char* const index_above_count_message;

[[noreturn]] void fatal_error(std::int32_t code, const Text& message);

// A one-dimensional array numbered from 1. Every access checks its index and
// raises the fatal error instead of touching memory it does not own.
template <class T>
class Array {
public:
    Array() = default;
    explicit Array(std::vector<T> items) : items_(std::move(items)) {}

    const T& at(std::int32_t index) const {
        if (index < 1) fatal_error(index_below_one_code, index_below_one_message);
        if (static_cast<std::size_t>(index) > items_.size())
            fatal_error(index_above_count_code, index_above_count_message);
        return items_[static_cast<std::size_t>(index) - 1];
    }
    std::int32_t count() const { return static_cast<std::int32_t>(items_.size()); }

private:
    std::vector<T> items_;
};

template <class T>
std::int32_t element_count(const Array<T>& array) { return array.count(); }

// 0 when equal; otherwise -1 or 1 by the first differing byte, unsigned.
int text_compare(std::string_view a, std::string_view b);
std::int32_t text_length(std::string_view t);
Text text_join(std::initializer_list<std::string_view> pieces);
Text int_to_text(std::int32_t n);
Text text_copy(std::string_view t);
// The bytes up to the first zero byte.
Text bytes_to_text(std::string_view bytes);
// Leading blanks, one sign, digits up to the first non-digit, wrapping at
// 2^32; full-width forms count like their ASCII forms. No digits gives 0.
std::int32_t text_to_int(std::string_view t);
Text to_halfwidth(std::string_view t);
Array<Text> text_split(std::string_view t, std::string_view delimiter);
std::int32_t text_find(std::string_view t, std::string_view sub, std::int32_t start = 1,
                       bool ignore_case = false);
Text text_mid(std::string_view t, std::int32_t start, std::int32_t length);
Text text_replace(std::string_view t, std::string_view find, std::string_view replacement);
Text text_blank(std::int32_t n);
// Toward zero whatever the rounding mode; callers keep the low 32 bits.
std::int64_t truncate_to_int(double x);
