// Small bridges between the program's values and the Win32 API.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/seam.h"

// Window handles are 32 bits wide even in a 64-bit process, which keeps them
// sign-extended; the program holds the 32 bits.
inline HWND to_hwnd(seam::Handle h) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(h)));
}
inline seam::Handle from_hwnd(HWND h) {
    return static_cast<seam::Handle>(reinterpret_cast<std::uintptr_t>(h));
}

// Our own windows show GBK texts through the W calls, so they read right
// whatever the system's ANSI code page is.
inline constexpr UINT gbk_code_page = 936;

inline std::wstring to_wide(const Text& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(gbk_code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(gbk_code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// Characters GBK lacks become "?", as the ANSI calls would make them.
inline Text from_wide(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(gbk_code_page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    Text text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(gbk_code_page, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr,
                        nullptr);
    return bytes_to_text(text);
}
