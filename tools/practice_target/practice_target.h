// What the end-to-end tests need to know about the practice target: its window
// classes and where it stands on the 800x600 test desktop.
#pragma once

namespace practice {

// The top-level window, titled "练习对象".
inline constexpr const wchar_t* window_class = L"PracticeTarget";
// The input box: an ANSI window that records every key message it receives.
inline constexpr const wchar_t* input_class = L"PracticeInput";
inline constexpr const char* input_class_ansi = "PracticeInput";
// The input box's window text, which a binding shows.
inline constexpr const char* input_text = "practice input";
// A larger sibling above the input box in the Z order that covers it, so the
// window at the input box's centre is this frame, not the box.
inline constexpr const wchar_t* frame_class = L"PracticeComposeFrame";
inline constexpr int send_button_id = 2;

// Bottom left of the desktop: below the binding window, overlapping the lower
// left corner of the main window (which is not topmost).
inline constexpr int left = 0, top = 330, width = 400, height = 260;

}  // namespace practice
