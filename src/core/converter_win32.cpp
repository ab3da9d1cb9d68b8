// The converter on Windows, which has no iconv: the system's code-page
// conversions through UTF-16. A handle names the pair of code pages, so there
// is nothing to free.
#include <windows.h>

#include <algorithm>
#include <array>
#include <climits>
#include <string>

#include "core/seam.h"

namespace {

struct Encoding {
    const char* name;
    UINT code_page;
};
// The two encodings the program converts between, under iconv's names.
constexpr UINT gbk_code_page = 936;
constexpr std::array<Encoding, 2> encodings{{{"UTF-8", CP_UTF8}, {"GBK", gbk_code_page}}};

bool same_name(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

int encoding_index(std::string_view name) {
    for (std::size_t i = 0; i < encodings.size(); ++i)
        if (same_name(name, encodings[i].name)) return static_cast<int>(i);
    return -1;
}

// Handles are 1 + from * count + to: never 0 (the unopened value) or -1.
bool decode(seam::Converter handle, UINT& from, UINT& to) {
    const auto n = static_cast<seam::Converter>(encodings.size());
    if (handle < 1 || handle > n * n) return false;
    from = encodings[static_cast<std::size_t>((handle - 1) / n)].code_page;
    to = encodings[static_cast<std::size_t>((handle - 1) % n)].code_page;
    return true;
}

// Empty when the bytes are not valid in the code page or end inside a
// character.
std::wstring to_utf16(UINT code_page, std::string_view bytes) {
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (needed <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(), needed) != needed)
        return std::wstring();
    return wide;
}

// Empty when the code page lacks a character. UTF-8 takes no default
// character; the others must neither substitute one nor pick a look-alike.
Bytes from_utf16(UINT code_page, const std::wstring& wide) {
    const int length = static_cast<int>(wide.size());
    const bool utf8 = code_page == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL used_default = FALSE;
    BOOL* used_default_out = utf8 ? nullptr : &used_default;
    const int needed =
        WideCharToMultiByte(code_page, flags, wide.data(), length, nullptr, 0, nullptr, used_default_out);
    if (needed <= 0 || used_default) return Bytes();
    Bytes bytes(static_cast<std::size_t>(needed), '\0');
    if (WideCharToMultiByte(code_page, flags, wide.data(), length, bytes.data(), needed, nullptr,
                            used_default_out) != needed ||
        used_default)  // cppcheck-suppress knownConditionTrueFalse ; written through used_default_out
        return Bytes();
    return bytes;
}

// iconv's GBK has no private-use characters, while code page 936 maps its
// user-defined area to U+E000-U+E765: the GBK of this program is iconv's.
bool has_private_use(const std::wstring& wide) {
    return std::ranges::any_of(wide, [](wchar_t c) { return c >= 0xE000 && c <= 0xF8FF; });
}

}  // namespace

namespace seam {

Converter open_converter(const Text& from, const Text& to) {
    const int f = encoding_index(from);
    const int t = encoding_index(to);
    if (f < 0 || t < 0) return converter_failed;
    return 1 + static_cast<Converter>(f) * static_cast<Converter>(encodings.size()) + t;
}

Bytes convert_bytes(Converter handle, std::string_view input) {
    UINT from = 0, to = 0;
    if (!decode(handle, from, to) || input.empty() || input.size() > INT_MAX) return Bytes();
    const std::wstring wide = to_utf16(from, input);
    if (wide.empty()) return Bytes();
    if ((from == gbk_code_page || to == gbk_code_page) && has_private_use(wide)) return Bytes();
    return from_utf16(to, wide);
}

bool close_converter(Converter handle) {
    UINT from = 0, to = 0;
    return decode(handle, from, to);
}

}  // namespace seam
