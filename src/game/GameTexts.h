#pragma once

#include "game/Message.h"

#include <optional>
#include <string>

// Everything the game says to the user, in one place.

inline const Message ZoomedOutNotice{"The image will be zoomed out because it is too large.",
                                     MessageIcon::Information};
inline const Message TooSmallToCut{"Cannot create puzzle because the image is too small.",
                                   MessageIcon::Stop};
inline const Message CannotCreatePuzzle{"Cannot create puzzle.", MessageIcon::Stop};
inline const Message Congratulations{"Congratulations. You've solved the puzzle.",
                                     MessageIcon::Information};

// The picture file at `path` could not be read or decoded.
inline Message UnableToOpen(const std::string& path) {
    return {"Unable to open " + path + ".", MessageIcon::Stop};
}

// The package's message, shown once after the first puzzle; nothing when it has none.
inline std::optional<Message> StartMessageOf(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    return Message{text, MessageIcon::Information};
}
