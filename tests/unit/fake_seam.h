// A scriptable stand-in for the system: our windows and their controls, a
// window tree of other programs, a clock that moves only when the program
// waits, events that fire inside those waits, and a record of every message
// posted, box shown, page fetched and address opened.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "core/seam.h"

namespace fake {

struct Posted {
    seam::Handle handle;
    std::uint32_t message, wparam, lparam;
    std::uint32_t at;  // the fake tick count when it was posted
    bool operator==(const Posted&) const = default;
};

struct Box {
    Text text, title;
    seam::Buttons buttons;
    seam::Icon icon;
};

struct OtherWindow {
    seam::Handle parent = 0;
    seam::Rect rect{};
    bool visible = true;
    Text text;
};

// What exit_process throws, so that a test sees the process end.
struct ProcessExit {
    int code;
};

struct OwnWindow {
    bool exists = false;
    bool shown = false;
    bool topmost = false;
    bool close_queued = false;
    int openings = 0;
    int brought_to_front = 0;
    int close_requests = 0;
    Text caption;
};

struct State {
    std::array<OwnWindow, 2> windows;
    std::vector<Window> shown_in_order;  // every show_window, in order
    bool main_creation_fails = false;
    std::map<Ctl, Text> texts;
    std::map<Ctl, bool> checked;
    // Set when the program reads or writes a control of a main window that
    // no longer exists.
    bool touched_closed_main = false;

    std::vector<Box> boxes;
    std::deque<int> answers;  // answers to the next boxes; default OK, or No for Yes/No
    std::function<void(const Box&)> on_box;  // runs while the box is open

    bool refuse_hot_key = false;
    std::vector<std::int32_t> registrations;

    seam::Point cursor{};
    seam::Handle at_point = 0;
    std::vector<seam::Handle> z_order;  // top first, all windows of the tree
    std::map<seam::Handle, OtherWindow> others;

    std::vector<Posted> posted;  // what reached the target's queue
    // What the target answers to the next post (which is attempt number
    // `attempt`, from 0); queued unless set. Only queued posts are recorded.
    std::function<seam::PostResult(std::size_t attempt)> post_answer;
    std::size_t post_attempts = 0;
    int answering_waits = 0;  // calls of wait_answering
    bool f2_watched = false;  // a press waits for F2 to come up

    std::uint32_t now = 0;
    std::multimap<std::uint32_t, std::function<void()>> events;
    int pumps = 0;  // calls of process_pending_events
    bool loop_ran = false;
    std::function<std::uint64_t()> time_stamp_counter;

    std::map<Text, Bytes> pages;
    std::vector<Text> fetched;
    std::vector<Text> opened;
};

State& state();
// A fresh system, and the program's parts with the state a process starts with.
void reset();
// Runs fn inside the first wait or dispatch at or after the tick count time.
void at(std::uint32_t time, std::function<void()> fn);
OwnWindow& window(Window w);

}  // namespace fake
