#include "main/MessageBox.h"

#include "desktop/CompanionPlacement.h"
#include "windows/DialogOwner.h"

#include <QMessageBox>

namespace {

MessageBoxHook& CurrentHook() {
    static MessageBoxHook hook;
    return hook;
}

} // namespace

void ShowMessageBox(const Message& message, const QString& caption) {
    const QString text = QString::fromStdString(message.Text);
    if (CurrentHook()) {
        CurrentHook()(text, caption, message.Icon);
        return;
    }
    const auto qtIcon =
        message.Icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::Information;
    QMessageBox box(qtIcon, caption, text, QMessageBox::Ok, DialogOwner());
    KeepAboveStayOnTopWindows(box);
    // Shown exactly as stored, even when it looks like markup.
    box.setTextFormat(Qt::PlainText);
    // On the screen's centre, where the loading window is too, wherever its owner is just now.
    KeepCentredOnScreen(box);
    box.exec();
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    MessageBoxHook previous = std::move(CurrentHook());
    CurrentHook() = std::move(hook);
    return previous;
}
