#pragma once

#include "main/MessageBox.h"

#include <vector>

// Records every message box shown while it lives, instead of blocking on a modal box.
class MessageRecorder {
public:
    struct Call {
        QString Text;
        QString Caption;
        MessageIcon Icon;
    };

    MessageRecorder() {
        Previous = SetMessageBoxHook(
            [this](const QString& text, const QString& caption, MessageIcon icon) {
                Calls.push_back({text, caption, icon});
            });
    }
    ~MessageRecorder() { SetMessageBoxHook(std::move(Previous)); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<Call> Calls;

private:
    MessageBoxHook Previous;
};
