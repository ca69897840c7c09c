#pragma once

#include "package/PackageCredits.h"

#include <QWidget>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

// The loading window: a borderless window in the middle of the screen, on top of the others,
// with a banner, credit lines with links, a note on free distribution, a progress bar that
// follows the build, and a button that closes it once the puzzle is ready. The credit lines are
// the package's.
class TFormProgress : public QWidget {
    Q_OBJECT
public:
    // `credits` are the package's lines; without them only a neutral title shows.
    TFormProgress(QWidget* owner, const PackageCredits& credits);

    static constexpr int ClientWidth = 321;
    static constexpr int ClientHeight = 373;

    void Label6Click();
    void Label5Click();

    // The puzzle's title and credit lines, as plain text cut to the panel's width. Without a
    // title the line is a neutral one; an empty credit or link hides its line.
    void ShowCredits(const PackageCredits& credits);

    QFrame* Panel1 = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Image1 = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* ButtonClose = nullptr;
    QFrame* Panel4 = nullptr;
    QLabel* Label7 = nullptr;

private:
    QLabel* LinkLabel(QWidget* parent, const QRect& geometry, const QString& text);

    QString PictureLink;
    QString MusicLink;
};
