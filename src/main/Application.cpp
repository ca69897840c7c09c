#include "main/Application.h"

#include "main/MessageBox.h"

#include <exception>

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv) {
    // No display name: the toolkit would append it to every other window's caption.
    setApplicationName(QStringLiteral("tavrin"));
    // The same on every desktop, whatever the puzzle's file is called (the Wayland app id).
    setDesktopFileName(QString::fromUtf8(TavrinAppId));
    // The menu stays in the window, whose board is sized below it, whatever the desktop offers;
    // nor is the session bus asked for a global menu at every start.
    setAttribute(Qt::AA_DontUseNativeMenuBar);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("An unknown error occurred.");
    }
    return false;
}

void ShowException(const char* what) {
    ShowMessageBox({what, MessageIcon::Stop}, ApplicationTitle);
}
