#include "fake_seam.h"

#include <algorithm>
#include <iterator>

#include "binding/binding.h"
#include "sending/sending.h"
#include "update/update.h"

namespace fake {

State& state() {
    static State s;
    return s;
}

OwnWindow& window(Window w) { return state().windows[static_cast<std::size_t>(w)]; }

void reset() {
    state() = State{};
    // Each part's whole state, as the process starts with it.
    update_state = UpdateState{};
    binding_state = BindingState{};
    sending_state = SendingState{};
}

void at(std::uint32_t time, std::function<void()> fn) { state().events.emplace(time, std::move(fn)); }

namespace {

void carry_out_closes() {
    for (auto& w : state().windows) {
        if (w.close_queued) {
            w.close_queued = false;
            w.exists = false;
            w.shown = false;
        }
    }
}

// Fires the events that are due, earliest first; an event may add more.
void fire_due_events() {
    auto& s = state();
    while (!s.events.empty() && s.events.begin()->first <= s.now) {
        auto fn = std::move(s.events.begin()->second);
        s.events.erase(s.events.begin());
        fn();
    }
}

bool any_window() { return window(Window::main).exists || window(Window::binding).exists; }

void note_main_access() {
    if (!window(Window::main).exists) state().touched_closed_main = true;
}

}  // namespace

}  // namespace fake

namespace seam {

using fake::state;
using fake::window;

bool create_window(Window w) {
    if (w == Window::main && state().main_creation_fails) return false;
    auto& own = window(w);
    own = fake::OwnWindow{true, false, false, false, own.openings + 1, own.brought_to_front,
                          own.close_requests, (w == Window::main ? main_form() : binding_form()).caption};
    if (w == Window::main) {
        for (std::size_t i = 0; i < main_form().controls.size(); ++i) {
            const auto c = static_cast<Ctl>(i);
            state().texts[c] = main_form().controls[i].text;
            state().checked[c] = main_form().controls[i].checked;
        }
    }
    return true;
}

void show_window(Window w) {
    window(w).shown = true;
    state().shown_in_order.push_back(w);
}
bool window_exists(Window w) { return window(w).exists; }
void bring_to_front(Window w) { ++window(w).brought_to_front; }
void make_topmost(Window w) { window(w).topmost = true; }

void queue_close(Window w) {
    auto& own = window(w);
    ++own.close_requests;
    if (own.exists) own.close_queued = true;
}

void run_message_loop() {
    auto& s = state();
    s.loop_ran = true;
    // Lets time run on until every window is gone or nothing more can happen.
    for (;;) {
        fake::fire_due_events();
        fake::carry_out_closes();
        if (!fake::any_window() || s.events.empty()) return;
        s.now = std::max(s.now, s.events.begin()->first);
    }
}

void process_pending_events() {
    ++state().pumps;
    fake::fire_due_events();
    fake::carry_out_closes();
}

void wait_for_events(std::uint32_t ms) {
    auto& s = state();
    std::uint32_t until = s.now + ms;
    if (!s.events.empty() && s.events.begin()->first > s.now && s.events.begin()->first < until)
        until = s.events.begin()->first;
    s.now = until;
}

// Time passes, but no event of the queue runs: only input would start one.
void wait_answering(std::uint32_t ms) {
    ++state().answering_waits;
    state().now += ms;
}

Text control_text(Ctl c) {
    fake::note_main_access();
    return state().texts[c];
}
void set_control_text(Ctl c, const Text& text) {
    fake::note_main_access();
    state().texts[c] = text;
}
bool control_checked(Ctl c) {
    fake::note_main_access();
    return state().checked[c];
}
void set_window_caption(Window w, const Text& caption) {
    if (w == Window::main) fake::note_main_access();
    window(w).caption = caption;
}

int message_box(const Text& text, const Text& title, Buttons buttons, Icon icon) {
    auto& s = state();
    s.boxes.push_back({text, title, buttons, icon});
    if (s.on_box) s.on_box(s.boxes.back());
    if (!s.answers.empty()) {
        const int answer = s.answers.front();
        s.answers.pop_front();
        return answer;
    }
    return buttons == Buttons::yes_no ? no : ok;
}

bool register_f2(Window, std::int32_t id) {
    if (state().refuse_hot_key) return false;
    state().registrations.push_back(id);
    return true;
}

void watch_f2_release(Window) { state().f2_watched = true; }

Point cursor_pos() { return state().cursor; }
Handle window_from_point(Point) { return state().at_point; }
Handle parent_of(Handle h) {
    auto it = state().others.find(h);
    return it == state().others.end() ? 0 : it->second.parent;
}
Handle next_window(Handle h) {
    const auto& z = state().z_order;
    auto it = std::find(z.begin(), z.end(), h);
    if (it == z.end() || std::next(it) == z.end()) return 0;
    return *std::next(it);
}
Rect window_rect(Handle h) {
    auto it = state().others.find(h);
    return it == state().others.end() ? Rect{} : it->second.rect;
}
bool is_visible(Handle h) {
    auto it = state().others.find(h);
    return it != state().others.end() && it->second.visible;
}
std::int32_t window_text_length(Handle h) {
    auto it = state().others.find(h);
    return it == state().others.end() ? 0 : static_cast<std::int32_t>(it->second.text.size());
}
Text window_text(Handle h, std::int32_t buffer_size) {
    auto it = state().others.find(h);
    if (it == state().others.end() || buffer_size < 1) return {};
    return it->second.text.substr(0, static_cast<std::size_t>(buffer_size - 1));
}

PostResult post(Handle h, std::uint32_t message, std::uint32_t wparam, std::uint32_t lparam) {
    auto& s = state();
    const PostResult answer = s.post_answer ? s.post_answer(s.post_attempts) : PostResult::queued;
    ++s.post_attempts;
    if (answer == PostResult::queued) s.posted.push_back({h, message, wparam, lparam, s.now});
    return answer;
}

std::uint32_t tick_count() { return state().now; }

std::uint64_t read_time_stamp_counter() {
    static std::uint64_t counter = 0;
    return state().time_stamp_counter ? state().time_stamp_counter() : counter += 7919;
}

Bytes fetch_url(const Text& address) {
    state().fetched.push_back(address);
    auto it = state().pages.find(address);
    return it == state().pages.end() ? Bytes() : it->second;
}

void open_url(const Text& address) { state().opened.push_back(address); }

void exit_process(int code) { throw fake::ProcessExit{code}; }

}  // namespace seam
