// One owner for every system handle: move-only, so a handle can never be
// closed twice, and closed exactly once when its owner goes.
#pragma once

#include <utility>

// Close is a function object that frees a valid handle; Invalid is the value
// that means "nothing owned".
template <class Handle, class Close, auto Invalid = Handle{}>
class unique_handle {
public:
    unique_handle() = default;
    explicit unique_handle(Handle h) : h_(h) {}
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : h_(std::exchange(other.h_, Handle(Invalid))) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.h_, Handle(Invalid)));
        return *this;
    }
    ~unique_handle() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != Handle(Invalid); }
    void reset(Handle h = Handle(Invalid)) {
        if (h_ != Handle(Invalid)) Close{}(h_);
        h_ = h;
    }
    Handle release() { return std::exchange(h_, Handle(Invalid)); }

private:
    Handle h_ = Handle(Invalid);
};
