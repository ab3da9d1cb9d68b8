#include "core/scaling.h"

#include <gtest/gtest.h>

#include <ostream>

#include "core/forms.h"

// Failure messages show sizes and boxes as numbers.
void PrintTo(const Size& s, std::ostream* os) { *os << s.width << "x" << s.height; }
void PrintTo(const Box& b, std::ostream* os) { *os << "(" << b.x << "," << b.y << ") " << b.width << "x" << b.height; }

namespace {

TEST(MulDiv, RoundsToTheNearestWithHalvesAwayFromZero) {
    struct Case {
        int value, numerator, denominator, expected;
    };
    const Case cases[] = {
        {11, 144, 96, 17},   {-11, 144, 96, -17}, {578, 120, 96, 723}, {459, 144, 96, 689},
        {459, 120, 96, 574}, {7, 1, 2, 4},       {-7, 1, 2, -4},      {5, -1, 2, -3},
        {1, 1, 3, 0},        {2, 1, 3, 1},       {0, 144, 96, 0},     {1'000'000, 192, 96, 2'000'000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mul_div(c.value, c.numerator, c.denominator), c.expected)
            << c.value << " * " << c.numerator << " / " << c.denominator;
}

// The frames Wine draws around both windows (a caption, a system menu, a
// minimise box; no thick frame) at each scale: what the system adds to the
// client area's width and height.
struct Scale {
    int dpi;
    Size frame;
};
const Scale scales[] = {{96, {6, 25}}, {120, {6, 30}}, {144, {6, 34}}, {192, {6, 43}}};
const Size frame_at_96 = scales[0].frame;

TEST(ScaleForm, At96DpiEveryFormIsPixelExact) {
    for (const Form* form : {&main_form(), &binding_form()}) {
        SCOPED_TRACE(form->caption);
        // Whatever frame the system draws: the form's outer size is the window's.
        for (const Size frame : {Size{6, 25}, Size{16, 39}}) {
            const ScaledForm at96 = scale_form(*form, 96, frame, frame);
            EXPECT_EQ(at96.outer, (Size{form->outer_width, form->outer_height}));
            ASSERT_EQ(at96.controls.size(), form->controls.size());
            for (std::size_t row = 0; row < form->controls.size(); ++row) {
                const ControlForm& c = form->controls[row];
                EXPECT_EQ(at96.controls[row], (Box{c.x, c.y, c.width, c.height})) << c.name;
            }
        }
    }
}

TEST(ScaleForm, WindowSizesAtEachScale) {
    struct Case {
        int dpi;
        Size main_client, main_outer, binding_client, binding_outer;
    };
    // Client areas at 96 dpi: main 578x459, binding 215x142.
    const Case cases[] = {
        {96, {578, 459}, {584, 484}, {215, 142}, {221, 167}},
        {120, {723, 574}, {729, 604}, {269, 178}, {275, 208}},
        {144, {867, 689}, {873, 723}, {323, 213}, {329, 247}},
        {192, {1156, 918}, {1162, 961}, {430, 284}, {436, 327}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        Size frame{};
        for (const Scale& s : scales)
            if (s.dpi == c.dpi) frame = s.frame;
        const ScaledForm main = scale_form(main_form(), c.dpi, frame_at_96, frame);
        EXPECT_EQ(main.client, c.main_client);
        EXPECT_EQ(main.outer, c.main_outer);
        const ScaledForm binding = scale_form(binding_form(), c.dpi, frame_at_96, frame);
        EXPECT_EQ(binding.client, c.binding_client);
        EXPECT_EQ(binding.outer, c.binding_outer);
    }
}

TEST(ScaleForm, ControlRectsAtEachScale) {
    struct Case {
        Window window;
        int row;
        Box at120, at144, at192;
    };
    const auto row = [](Ctl c) { return static_cast<int>(c); };
    const Case cases[] = {
        // 104,16 176x24
        {Window::main, row(Ctl::标签9), {130, 20, 220, 30}, {156, 24, 264, 36}, {208, 32, 352, 48}},
        // 360,16 40x20
        {Window::main, row(Ctl::编辑框2), {450, 20, 50, 25}, {540, 24, 60, 30}, {720, 32, 80, 40}},
        // 408,16 32x20
        {Window::main, row(Ctl::标签6), {510, 20, 40, 25}, {612, 24, 48, 30}, {816, 32, 64, 40}},
        // 464,48 104x16
        {Window::main, row(Ctl::单选框2), {580, 60, 130, 20}, {696, 72, 156, 24}, {928, 96, 208, 32}},
        // 0,104 568x336
        {Window::main, row(Ctl::编辑框1), {0, 130, 710, 420}, {0, 156, 852, 504}, {0, 208, 1136, 672}},
        // 8,8 200x120
        {Window::binding, 0, {10, 10, 250, 150}, {12, 12, 300, 180}, {16, 16, 400, 240}},
    };
    for (const Case& c : cases) {
        const Form& form = c.window == Window::main ? main_form() : binding_form();
        SCOPED_TRACE(form.controls[static_cast<std::size_t>(c.row)].name);
        EXPECT_EQ(scale_form(form, 120, frame_at_96, scales[1].frame).controls[c.row], c.at120);
        EXPECT_EQ(scale_form(form, 144, frame_at_96, scales[2].frame).controls[c.row], c.at144);
        EXPECT_EQ(scale_form(form, 192, frame_at_96, scales[3].frame).controls[c.row], c.at192);
    }
}

// Edges are scaled, not sizes: two controls that meet at 96 dpi meet at any
// scale, where scaling the width alone would open a gap of a pixel or overlap.
TEST(ScaleForm, ControlsThatMeetKeepMeeting) {
    const ControlForm rows[] = {
        {"left", Kind::label, 3, 3, 5, 5, "", false, false},
        {"right", Kind::label, 8, 3, 5, 5, "", false, false},
    };
    const Form form{Window::main, "", 100, 100, rows, {}};
    for (int dpi = 96; dpi <= 240; ++dpi) {
        const ScaledForm scaled = scale_form(form, dpi, frame_at_96, frame_at_96);
        EXPECT_EQ(scaled.controls[0].x + scaled.controls[0].width, scaled.controls[1].x) << dpi << " dpi";
    }
}

TEST(FontHeight, TheStockFontBroughtBackTo96DpiThenScaled) {
    struct Case {
        int stock_height, system_dpi, dpi, expected;
    };
    const Case cases[] = {
        // At 96 dpi the stock font itself.
        {-12, 96, 96, -12},
        {-11, 96, 96, -11},
        {-11, 96, 120, -14},
        {-11, 96, 144, -17},
        {-11, 96, 192, -22},
        // Wine makes its stock font for the system's scale: -12 at 96 dpi is -18 at 144.
        {-18, 144, 96, -12},
        {-18, 144, 120, -15},
        {-18, 144, 144, -18},
        {-18, 144, 192, -24},
        // A stock font rounded its own way at the system's scale: the size is
        // the one at 96 dpi scaled.
        {-16, 144, 96, -11},
        {-16, 144, 144, -17},
    };
    for (const Case& c : cases)
        EXPECT_EQ(font_height(c.stock_height, c.system_dpi, c.dpi), c.expected)
            << c.stock_height << " at " << c.system_dpi << " dpi, wanted at " << c.dpi;
}

}  // namespace
