#include "main/Application.h"

#include "main/MessageBox.h"

#include <exception>

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv) {
    // No display name: the toolkit would append it to every other window's caption.
    setApplicationName(QStringLiteral("tavrin"));
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
