#pragma once

#include "base/Result.h"

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

// A step that went through, or failed with what the user is to be told; nothing is told when
// the user stopped it or it had nothing to work on.
using Outcome = Result<void, std::optional<Message>>;
