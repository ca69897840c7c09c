#pragma once

#include <string>
#include <utility>
#include <variant>

// The one shape of an expected failure across the package, picture, music and tool code: a
// value, not an exception. Exceptions stay for what no caller can handle (out of memory).

// What went wrong, in the words the user is shown ("Cannot create file "/x": Not a directory").
struct Failure {
    std::string What;

    bool operator==(const Failure&) const = default;
};

// A value, or the failure that took its place. Reading the value of a failure, or the failure
// of a value, is a programming error (std::bad_variant_access). A library whose callers need
// the failure as data (which input, which limit) gives its own failure type as `E`.
template <typename T, typename E = Failure>
class [[nodiscard]] Result {
public:
    Result(T value)
        : State(std::in_place_index<0>, std::move(value)) {}
    Result(E failure)
        : State(std::in_place_index<1>, std::move(failure)) {}

    bool Ok() const { return State.index() == 0; }
    explicit operator bool() const { return Ok(); }

    T& operator*() & { return std::get<0>(State); }
    const T& operator*() const& { return std::get<0>(State); }
    T&& operator*() && { return std::get<0>(std::move(State)); }
    T* operator->() { return &std::get<0>(State); }
    const T* operator->() const { return &std::get<0>(State); }

    const E& Error() const { return std::get<1>(State); }

private:
    std::variant<T, E> State;
};

// A step that gives nothing but may fail; a default one succeeded.
template <typename E>
class [[nodiscard]] Result<void, E> {
public:
    Result() = default;
    Result(E failure)
        : State(std::move(failure)) {}

    bool Ok() const { return State.index() == 0; }
    explicit operator bool() const { return Ok(); }

    const E& Error() const { return std::get<1>(State); }

private:
    std::variant<std::monostate, E> State;
};
