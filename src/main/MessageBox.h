#pragma once

#include "game/Message.h"

#include <QString>
#include <functional>

// Every message the player shows goes through here, so tests can record them instead of
// blocking on a modal box.

inline const QString MessageCaption = QStringLiteral("Tavrin");

// A modal box, above every window of the player (DialogOwner).
void ShowMessageBox(const Message& message, const QString& caption = MessageCaption);

using MessageBoxHook =
    std::function<void(const QString& text, const QString& caption, MessageIcon icon)>;

// Routes every later box to `hook` (an empty hook restores the real box); returns the old hook.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
