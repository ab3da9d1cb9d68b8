#include "core/scaling.h"

#include <cstdint>

int mul_div(int value, int numerator, int denominator) {
    const std::int64_t product = std::int64_t{value} * numerator;
    const std::int64_t half = denominator / 2;
    // Halves away from zero: the sign of the product decides the direction.
    const std::int64_t rounded = (product < 0) == (denominator < 0) ? product + half : product - half;
    return static_cast<int>(rounded / denominator);
}

ScaledForm scale_form(const Form& form, int dpi, Size frame_at_96, Size frame) {
    const auto scale = [dpi](int length) { return mul_div(length, dpi, base_dpi); };
    ScaledForm scaled;
    scaled.client = {scale(form.outer_width - frame_at_96.width), scale(form.outer_height - frame_at_96.height)};
    scaled.outer = {scaled.client.width + frame.width, scaled.client.height + frame.height};
    scaled.controls.reserve(form.controls.size());
    for (const ControlForm& c : form.controls) {
        const int left = scale(c.x), top = scale(c.y);
        scaled.controls.push_back({left, top, scale(c.x + c.width) - left, scale(c.y + c.height) - top});
    }
    return scaled;
}

int font_height(int stock_height, int system_dpi, int dpi) {
    return mul_div(mul_div(stock_height, base_dpi, system_dpi), dpi, base_dpi);
}
