// The program's two windows as data: every control with its kind, place,
// size, initial text and state. The Win32 layer builds a window from its
// table in one loop; the end-to-end tests compare the live windows with it.
#pragma once

#include <cstdint>
#include <span>

// The main window's controls, in its stacking order from top to bottom: the
// enumeration Ctl, whose values are the rows of the main form. forms.cpp
// checks when it compiles that every row carries its enumerator's name, so
// a row moved or added without the list fails the build.
#define KESTRUNE_MAIN_CONTROLS(X)                                                              \
    X(标签9) X(标签8) X(单选框2) X(单选框1) X(选择框1) X(标签7) X(编辑框3) X(标签6) X(编辑框2) \
    X(标签5) X(按钮2) X(编辑框1) X(按钮1) X(标签3) X(标签4) X(标签2) X(标签1)

#define KESTRUNE_CTL_ENUMERATOR(name) name,
enum class Ctl : std::uint8_t { KESTRUNE_MAIN_CONTROLS(KESTRUNE_CTL_ENUMERATOR) };
#undef KESTRUNE_CTL_ENUMERATOR

enum class Window : std::uint8_t { main, binding };

enum class Kind : std::uint8_t {
    label,           // one line, vertically centred, cut off at the edge
    wrapping_label,  // several lines from the top, word-wrapped
    line_edit,       // one line, centred, scrolls sideways
    lines_edit,      // several lines, wraps, vertical scroll bar, Enter breaks the line
    button,
    check_box,
    radio_button,
};

struct ControlForm {
    const char* name;  // the control's name, as the windows' tables call it
    Kind kind;
    int x, y, width, height;  // client coordinates
    const char* text;         // GBK
    bool checked;
    bool starts_group;  // first control of an automatic radio group, or the one after it
};

struct Form {
    Window window;
    const char* caption;  // GBK
    int outer_width, outer_height;
    std::span<const ControlForm> controls;  // stacking order, top first
    std::span<const Ctl> tab_order;         // empty: nothing takes the focus
};

const Form& main_form();
const Form& binding_form();

inline const ControlForm& form_of(Ctl c) {
    return main_form().controls[static_cast<std::size_t>(c)];
}

// Texts the program shows in more than one place.
// The labels that show a binding hold eight em dashes until the first one.
inline constexpr const char* unbound_text = "————————";
