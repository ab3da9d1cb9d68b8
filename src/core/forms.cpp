// The two windows exactly as the user first sees them.
#include "core/forms.h"

#include <array>
#include <iterator>
#include <string_view>

namespace {

constexpr const char* default_lines =
    "嗨，你好，我在测试软件呢，这就是个测试，您不需要回话的哦！\r\n"
    "对不起，我在测试软件，所以随便给你发了先消息，您收到不必理会，删除即可！\r\n"
    "下雨了，大家回家收衣服去吧！\r\n"
    "我那个去的....好无聊！求互动.....";

constexpr const char* binding_instructions =
    "鼠标放在需要喊话的输入框内，按快\r\n"
    "\r\n"
    "捷键F2即可获取到需要绑定的句柄\r\n"
    "\r\n"
    "=================================\r\n"
    "\r\n"
    "鼠标放在需要发送的按钮上，按快\r\n"
    "\r\n"
    "捷键F3即可获取到需要绑定的句柄";

// Stacking order, top first; the rows follow the enumeration Ctl.
constexpr std::array<ControlForm, 17> main_controls{{
    {"标签9", Kind::label, 104, 16, 176, 24, unbound_text, false, false},
    {"标签8", Kind::label, 8, 16, 88, 24, "当前绑定窗口：", false, false},
    // The radio group runs from 单选框2 to the next control that starts a group.
    {"单选框2", Kind::radio_button, 464, 48, 104, 16, "按照顺序喊话", true, true},
    {"单选框1", Kind::radio_button, 464, 16, 104, 24, "随机选择喊话", false, false},
    {"选择框1", Kind::check_box, 304, 48, 128, 16, "开启随机添加后缀", true, true},
    {"标签7", Kind::label, 304, 72, 72, 20, "后缀字符数：", false, false},
    {"编辑框3", Kind::line_edit, 384, 72, 40, 20, "5", false, false},
    {"标签6", Kind::label, 408, 16, 32, 20, "毫秒", false, false},
    {"编辑框2", Kind::line_edit, 360, 16, 40, 20, "2000", false, false},
    {"标签5", Kind::label, 304, 16, 64, 20, "发送间隔：", false, false},
    {"按钮2", Kind::button, 464, 68, 96, 24, "开始发送消息", false, false},
    {"编辑框1", Kind::lines_edit, 0, 104, 568, 336, default_lines, false, false},
    {"按钮1", Kind::button, 200, 48, 80, 40, "重新绑定", false, false},
    {"标签3", Kind::label, 8, 72, 64, 16, "发送键句柄：", false, false},
    {"标签4", Kind::label, 88, 72, 112, 16, unbound_text, false, false},
    {"标签2", Kind::label, 88, 48, 104, 16, unbound_text, false, false},
    {"标签1", Kind::label, 8, 48, 72, 16, "输入框句柄：", false, false},
}};

// Each row is the one its enumerator names.
#define KESTRUNE_CTL_NAME(name) std::string_view(#name),
constexpr std::string_view ctl_names[] = {KESTRUNE_MAIN_CONTROLS(KESTRUNE_CTL_NAME)};
#undef KESTRUNE_CTL_NAME

static_assert(std::size(ctl_names) == std::tuple_size_v<decltype(main_controls)>,
              "the main form must have one row per enumerator of Ctl");
constexpr bool rows_follow_ctl() {
    for (std::size_t row = 0; row < main_controls.size(); ++row)
        if (main_controls[row].name != ctl_names[row]) return false;
    return true;
}
static_assert(rows_follow_ctl(), "the rows of the main form must follow the enumeration Ctl");

constexpr std::array<Ctl, 8> main_tab_order{
    Ctl::按钮1, Ctl::编辑框1, Ctl::按钮2, Ctl::编辑框2,
    Ctl::编辑框3, Ctl::选择框1, Ctl::单选框1, Ctl::单选框2,
};

constexpr std::array<ControlForm, 1> binding_controls{{
    {"标签1", Kind::wrapping_label, 8, 8, 200, 120, binding_instructions, false, false},
}};

}  // namespace

const Form& main_form() {
    static const Form form{Window::main, "暂未绑定窗口", 584, 484, main_controls, main_tab_order};
    return form;
}

const Form& binding_form() {
    static const Form form{Window::binding, "获取绑定窗口句柄", 221, 167, binding_controls, {}};
    return form;
}
