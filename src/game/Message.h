#pragma once

#include <optional>
#include <string>

// The icons a message to the user carries: a failure or a notice.
enum class MessageIcon { Stop = 16, Information = 64 };

// What the game has to tell the user; the window shows it in a modal box.
struct Message {
    std::string Text;
    MessageIcon Icon = MessageIcon::Stop;

    bool operator==(const Message&) const = default;
};

// What a step came to: whether it went through, and what the user is to be told either way.
struct Outcome {
    bool Done = false;
    std::optional<Message> Tell;
};
