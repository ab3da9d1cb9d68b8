#include "app/events.h"

#include <array>

#include "binding/binding.h"
#include "core/seam.h"
#include "sending/sending.h"
#include "update/update.h"

namespace {

// The bind prompt, from the start-up check and from 按钮1: on Yes a new
// binding window opens (an open one has been brought to the front instead).
void bind_on_request() {
    if (ask_to_bind()) open_window(Window::binding);
}

struct Handler {
    Window window;
    Event event;
    Ctl control;  // clicks only
    void (*run)(std::int32_t value);
};

constexpr std::array<Handler, 6> handlers{{
    // Start-up's check: the prompt follows only when this version is the
    // published one; otherwise the update path has queued the close.
    {Window::main, Event::created, {}, [](std::int32_t) {
         if (update_check()) bind_on_request();
     }},
    {Window::main, Event::click, Ctl::按钮1, [](std::int32_t) { bind_on_request(); }},
    {Window::main, Event::click, Ctl::按钮2, [](std::int32_t) { start_or_stop(); }},
    {Window::binding, Event::created, {}, [](std::int32_t) { on_binding_created(); }},
    {Window::binding, Event::hot_key, {}, on_hotkey},
    {Window::binding, Event::hot_key_released, {}, [](std::int32_t) { on_f2_released(); }},
}};

void tell_handler_failed() noexcept {
    try {
        seam::message_box("内存不足，刚才的操作没有完成。", "信息：", seam::Buttons::ok, seam::Icon::none);
    } catch (...) {
        // Not even the box could be shown; the program goes on all the same.
    }
}

}  // namespace

void on_event(Window w, Event e, Ctl control, std::int32_t value) noexcept {
    for (const Handler& h : handlers) {
        if (h.window == w && h.event == e && (e != Event::click || h.control == control)) {
            try {
                h.run(value);
            } catch (...) {
                tell_handler_failed();
            }
            return;
        }
    }
}

bool open_window(Window w) {
    if (!seam::create_window(w)) return false;
    on_event(w, Event::created);
    if (seam::window_exists(w)) seam::show_window(w);
    return true;
}
