// The forms at a display scale. Every length in a form is a length at 96 dpi
// (100 %); at another scale the same window is that form scaled by dpi / 96,
// so that every text shows as it does at 100 %. One function gives the whole
// window at a scale, for its creation and for a move to a monitor of another
// scale alike.
#pragma once

#include <vector>

#include "core/forms.h"

inline constexpr int base_dpi = 96;

struct Size {
    int width, height;
    bool operator==(const Size&) const = default;
};

struct Box {
    int x, y, width, height;
    bool operator==(const Box&) const = default;
};

// value * numerator / denominator, rounded to the nearest integer with halves
// away from zero, as the system's MulDiv rounds.
int mul_div(int value, int numerator, int denominator);

// A form's window at a display scale.
struct ScaledForm {
    Size outer;                 // the window with the system's frame
    Size client;                // the area inside the frame
    std::vector<Box> controls;  // the form's rows, in client coordinates
};

// The form at dpi. The form gives the outer size at 96 dpi and the frame is
// the system's, which grows with the scale too: the client area is the
// form's outer size less the frame at 96 dpi (frame_at_96), scaled, and the
// frame at dpi (frame) goes around it. At 96 dpi the outer size is the form's.
// A control's edges are scaled, so that controls that meet at 96 dpi still do.
ScaledForm scale_form(const Form& form, int dpi, Size frame_at_96, Size frame);

// The height of the controls' font at dpi (a LOGFONT height: negative for the
// character height). The system's stock font is made for the system's scale:
// its height there, brought back to 96 dpi, is scaled to dpi.
int font_height(int stock_height, int system_dpi, int dpi);
