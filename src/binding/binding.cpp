#include "binding/binding.h"

BindingState binding_state;

namespace {

bool contains(const seam::Rect& r, seam::Point p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// Width times height as a 32-bit signed number, wrapping like the system's.
std::int32_t area(const seam::Rect& r) {
    const auto width = static_cast<std::uint32_t>(r.right) - static_cast<std::uint32_t>(r.left);
    const auto height = static_cast<std::uint32_t>(r.bottom) - static_cast<std::uint32_t>(r.top);
    return static_cast<std::int32_t>(width * height);
}

Text handle_text(std::uint32_t handle) { return int_to_text(static_cast<std::int32_t>(handle)); }

}  // namespace

bool ask_to_bind() {
    const int answer = seam::message_box(
        "您的软件还未绑定需要喊话的窗口，请先绑定！\r\n您问您现在是否需要立即绑定窗口？", "信息：",
        seam::Buttons::yes_no, seam::Icon::none);
    if (answer != seam::yes) return false;
    // A binding already under way goes on in the open window.
    if (seam::window_exists(Window::binding)) {
        seam::bring_to_front(Window::binding);
        return false;
    }
    return true;
}

void on_binding_created() {
    auto& hotkey_id = binding_state.hotkey_id;
    auto& input_box_handle = binding_state.input_box_handle;
    auto& send_key_handle = binding_state.send_key_handle;
    seam::make_topmost(Window::binding);
    const std::int32_t id = ++binding_state.last_hot_key_id;
    hotkey_id = seam::register_f2(Window::binding, id) ? id : 0;
    input_box_handle = 0;
    send_key_handle = 0;
    binding_state.f2_held = false;
}

void on_hotkey(std::int32_t id) {
    const auto& hotkey_id = binding_state.hotkey_id;
    auto& input_box_handle = binding_state.input_box_handle;
    auto& send_key_handle = binding_state.send_key_handle;
    // 0 is no registration of ours: F2 was refused, so F2 does nothing.
    if (id != hotkey_id || hotkey_id == 0) return;
    if (binding_state.f2_held) return;
    binding_state.f2_held = true;
    seam::watch_f2_release(Window::binding);
    // The main window may have been closed while the binding window stayed
    // open; its captions are then left alone.
    const bool main_open = seam::window_exists(Window::main);
    if (input_box_handle == 0) {
        input_box_handle = window_under_pointer();
        if (input_box_handle != 0 && main_open) {
            seam::set_control_text(Ctl::标签2, handle_text(input_box_handle));
            seam::set_control_text(Ctl::标签9, read_window_text(input_box_handle));
        }
        return;
    }
    if (send_key_handle == 0) {
        send_key_handle = window_under_pointer();
        if (send_key_handle != 0 && main_open) seam::set_control_text(Ctl::标签4, handle_text(send_key_handle));
    }
    seam::queue_close(Window::binding);
}

void on_f2_released() { binding_state.f2_held = false; }

seam::Handle window_under_pointer() {
    const seam::Point p = seam::cursor_pos();
    const seam::Handle h = seam::window_from_point(p);
    if (h == 0) return 0;
    const seam::Handle parent = seam::parent_of(h);
    if (parent == 0) return h;
    // The window reported may lie over smaller siblings that also hold the
    // pointer (a frame over an input box): the smallest of those below it wins.
    seam::Handle best = h;
    std::int32_t best_area = area(seam::window_rect(h));
    for (seam::Handle w = seam::next_window(h); w != 0; w = seam::next_window(w)) {
        const seam::Rect r = seam::window_rect(w);
        if (contains(r, p) && seam::parent_of(w) == parent && seam::is_visible(w) && area(r) < best_area) {
            best = w;
            best_area = area(r);
        }
    }
    return best;
}

Text read_window_text(seam::Handle handle) {
    const std::int32_t length = seam::window_text_length(handle);
    if (length < 0 || length == INT32_MAX) return {};
    return bytes_to_text(seam::window_text(handle, length + 1));
}
