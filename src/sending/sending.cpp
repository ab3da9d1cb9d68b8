#include "sending/sending.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/controls.h"

namespace {

constexpr std::int32_t max_cycles = 100000;
constexpr std::int32_t enter_key = 13;
// The key state and the as-key flag that make post_key a plain key-down.
constexpr std::int32_t enter_state = 5;
constexpr std::int32_t enter_as_key = 1;
constexpr std::int32_t typing_pause_ms = 100;
// How often a full queue of the target's is tried again.
constexpr std::uint32_t full_queue_retry_ms = 10;

constexpr const char* refused_text =
    "绑定的窗口拒绝接收本软件的消息：它所在的程序是以管理员身份运行的。\r\n"
    "请以管理员身份运行本软件，然后重新绑定窗口。";

// One step of the generator shared by the line picks and the letters:
// state * 214013 + 2531011, giving bits 16 to 30 of the new state.
std::uint32_t lcg_step(std::uint32_t& state) {
    state = state * 214013u + 2531011u;
    return (state >> 16) & 0x7FFFu;
}

// The target as 标签2 shows it: the signed decimal text of the handle's bits.
seam::Handle target_handle() { return static_cast<seam::Handle>(read_control_int(Ctl::标签2)); }

// The user may close the main window (close box or Esc) inside any pause.
// From then on the run must neither touch its controls nor post anything,
// and no end box is due: the user has already left.
bool main_window_closed() { return !seam::window_exists(Window::main); }

// "Now" is past "end", read across the wrap of the 32-bit tick count, so a
// pause that spans the wrap (every 49.7 days of uptime) still lasts its length.
bool tick_passed(std::uint32_t now, std::uint32_t end) {
    return static_cast<std::int32_t>(now - end) > 0;
}

bool is_lead_byte(char byte) { return static_cast<unsigned char>(byte) >= 0x80; }

// Why typing that began at the given count of clicks may not go on, if it may not.
std::optional<Typed> interruption(std::uint32_t clicks) {
    if (main_window_closed()) return Typed::closed;
    if (!sending_state.sending || clicks != sending_state.start_stop_clicks) return Typed::stopped;
    return std::nullopt;
}

// Posts one message. While the target's queue is full it tries again after
// each wait(), which says whether to go on waiting, for at most
// full_queue_patience_ms; it gives the last answer.
template <class Wait>
seam::PostResult post_waiting(seam::Handle handle, std::uint32_t message, std::uint32_t wparam,
                              std::uint32_t lparam, Wait wait) {
    const std::uint32_t since = seam::tick_count();
    for (;;) {
        const seam::PostResult posted = seam::post(handle, message, wparam, lparam);
        if (posted != seam::PostResult::queue_full || seam::tick_count() - since >= full_queue_patience_ms ||
            !wait())
            return posted;
    }
}

Typed typed_of(seam::PostResult posted) {
    switch (posted) {
        case seam::PostResult::gone:
        case seam::PostResult::queue_full: return Typed::dropped;
        case seam::PostResult::refused: return Typed::refused;
        default: return Typed::whole;  // a failed post is passed over, as ever
    }
}

// Posts the first byte of a character. While the target's queue is full the
// program's events run, as between two bursts, since no character is open.
Typed post_character_start(seam::Handle handle, std::uint32_t wparam, std::uint32_t clicks) {
    std::optional<Typed> why;
    const seam::PostResult posted = post_waiting(handle, wm_char, wparam, 0, [&] {
        seam::process_pending_events();
        if ((why = interruption(clicks))) return false;
        seam::wait_for_events(full_queue_retry_ms);
        return true;
    });
    return why ? *why : typed_of(posted);
}

}  // namespace

SendingState sending_state;

seam::PostResult post_message(seam::Handle handle, std::uint32_t message, std::uint32_t wparam, std::uint32_t lparam) {
    return post_waiting(handle, message, wparam, lparam, [] {
        seam::wait_answering(full_queue_retry_ms);
        return true;
    });
}

Typed post_text(seam::Handle handle, std::string_view text) {
    const std::uint32_t clicks = sending_state.start_stop_clicks;
    std::size_t in_burst = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (in_burst == characters_per_burst) {
            in_burst = 0;
            seam::process_pending_events();
            if (auto why = interruption(clicks)) return *why;
        }
        ++in_burst;
        const Typed first = post_character_start(handle, static_cast<unsigned char>(text[i]), clicks);
        if (first != Typed::whole) return first;
        // The trail byte follows its lead byte whatever happens meanwhile:
        // half a character would turn into garbage in the target.
        if (is_lead_byte(text[i]) && i + 1 < text.size()) {
            ++i;
            const Typed trail = typed_of(post_message(handle, wm_char, static_cast<unsigned char>(text[i]), 0));
            if (trail != Typed::whole) return trail;
        }
    }
    return Typed::whole;
}

void post_key(seam::Handle handle, std::int32_t key, std::int32_t state, std::int32_t as_key,
              std::int32_t system) {
    const auto code = static_cast<std::uint32_t>(key);
    if (state == 1 || as_key == 0) {
        post_message(handle, wm_char, code, 0);
        return;
    }
    const std::uint32_t down = system != 0 ? wm_syskeydown : wm_keydown;
    const std::uint32_t up = system != 0 ? wm_syskeyup : wm_keyup;
    switch (state) {
        case 2:
        case 3:
        case 5: post_message(handle, down, code, 0); break;
        case 4: post_message(handle, up, code, 0); break;
        default: break;
    }
}

std::int32_t random_in_range(std::int32_t lo, std::int32_t hi) {
    auto v = static_cast<std::uint32_t>(seam::read_time_stamp_counter());
    const std::uint32_t r = lcg_step(v);
    if (hi == 0) hi = 2147483647;
    const std::uint32_t span = static_cast<std::uint32_t>(hi) - static_cast<std::uint32_t>(lo) + 1u;
    // A span of the whole 32-bit range wraps to 0; every r already lies in
    // it, and dividing by 0 would end the process.
    // cppcheck-suppress knownConditionTrueFalse
    const std::uint32_t offset = span == 0 ? r : r % span;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(lo) + offset);
}

Text random_letters(std::int32_t count, std::int32_t mode) {
    Text letters;
    if (count <= 0) return letters;
    // One growing text instead of a new text per letter: the same letters
    // in time linear in the count, which has no upper limit.
    letters.reserve(static_cast<std::size_t>(count));
    for (std::int32_t p = 1; p <= count; ++p) {
        bool lower = mode == 0;
        if (mode != 0 && mode != 1) lower = std::fabs(std::fmod(static_cast<double>(p), 2.0) - 1.0) <= 0.0000001;
        const std::int32_t code = lower ? random_in_range(97, 122) : random_in_range(65, 90);
        letters.push_back(static_cast<char>(code & 0xFF));
    }
    return letters;
}

std::int32_t random_pick(std::int32_t lo, std::int32_t count) {
    if (count == 1) return lo;
    return lo +
           static_cast<std::int32_t>(lcg_step(sending_state.line_pick_state) % static_cast<std::uint32_t>(count));
}

void wait_with_events(std::int32_t ms) {
    if (ms <= 0) return;
    const std::uint32_t end = seam::tick_count() + static_cast<std::uint32_t>(ms);
    for (;;) {
        seam::process_pending_events();
        seam::process_pending_events();
        if (main_window_closed() || tick_passed(seam::tick_count(), end)) return;
        seam::process_pending_events();
        seam::process_pending_events();
        if (main_window_closed()) return;
        // Sleep until a message needs dispatching or the pause is over,
        // rather than keep a processor busy polling for the whole pause.
        const std::uint32_t now = seam::tick_count();
        if (!tick_passed(now, end)) seam::wait_for_events(end - now + 1u);
    }
}

void send_loop() {
    const Array<Text> lines = text_split(seam::control_text(Ctl::编辑框1), "\r\n");
    std::int32_t index = 0;
    Text suffix;
    bool told_refused = false;
    for (std::int32_t cycle = 1; cycle <= max_cycles; ++cycle) {
        if (main_window_closed()) return;
        seam::set_window_caption(Window::main,
                                 text_join({"正在进行第：", int_to_text(cycle), "次自动发送消息...."}));
        if (!sending_state.sending) break;
        // While 选择框1 is cleared the last suffix made stays on every line.
        if (seam::control_checked(Ctl::选择框1))
            suffix = random_letters(std::min(read_control_int(Ctl::编辑框3), max_suffix_letters));
        if (lines.count() == 0) break;
        if (seam::control_checked(Ctl::单选框2)) {
            ++index;
            if (index > lines.count()) index -= lines.count();
        }
        if (seam::control_checked(Ctl::单选框1)) index = random_pick(1, lines.count());
        const Text message = text_join({lines.at(index), suffix});
        const Typed typed = post_text(target_handle(), message);
        if (typed == Typed::closed) return;
        // A stop in the middle of the line drops the rest of it and its
        // Enter; the next cycle's start ends the run.
        if (typed == Typed::stopped) continue;
        if (typed == Typed::refused && !told_refused) {
            told_refused = true;
            seam::message_box(refused_text, "信息：", seam::Buttons::ok, seam::Icon::none);
            if (main_window_closed()) return;
        }
        wait_with_events(typing_pause_ms);
        if (main_window_closed()) return;
        // Re-read: a binding made during the pause takes effect for the Enter.
        // A line cut short gets none: a Return alone would send what was
        // typed so far, or an empty message to a new binding.
        if (typed == Typed::whole) post_key(target_handle(), enter_key, enter_state, enter_as_key);
        wait_with_events(read_control_int(Ctl::编辑框2));
        if (main_window_closed()) return;
    }
    seam::message_box("消息已经发送完毕！", "信息：", seam::Buttons::ok, seam::Icon::none);
}

void start_or_stop() {
    ++sending_state.start_stop_clicks;
    if (text_compare(seam::control_text(Ctl::按钮2), "开始发送消息") == 0) {
        seam::set_control_text(Ctl::按钮2, "停止自动发送");
        sending_state.sending = true;
        // The run lives inside this click; a second click, dispatched in one
        // of its pauses, lands in the branch below.
        send_loop();
    } else {
        seam::set_control_text(Ctl::按钮2, "开始发送消息");
        sending_state.sending = false;
    }
}
