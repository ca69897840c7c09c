#pragma once

#include "Version.h"

#include <QApplication>

inline const QString ApplicationTitle = QString::fromUtf8(TavrinTitle);

// The application object: an exception that escapes an event handler is shown in a message box
// and the program goes on.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the text of an exception that escaped a handler.
void ShowException(const char* what);
