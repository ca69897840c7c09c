#pragma once

#include <QApplication>

inline const QString ApplicationTitle = QStringLiteral("Tavrin Christmas Edition");

// The application object: an exception that escapes an event handler is shown in a message box
// and the program goes on.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the text of an exception that escaped a handler.
void ShowException(const char* what);
