#pragma once

#include <QMap>
#include <QMessageBox>
#include <QString>

class QWidget;

// A question the maker asks before it goes on: a main line, a second line that explains, and
// the answers offered. Answers the desktop names itself (Save, Discard, Cancel) keep its words;
// others are named here.
struct Question {
    QString Title;
    QString Text;
    QString Details;
    QMessageBox::StandardButtons Answers;
    QMessageBox::StandardButton Default = QMessageBox::NoButton;
    QMap<QMessageBox::StandardButton, QString> Names;
};

// Asks `question` in a message box over `parent`; Escape or closing the box is Cancel.
QMessageBox::StandardButton AskInMessageBox(QWidget* parent, const Question& question);
