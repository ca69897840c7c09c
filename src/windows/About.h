#pragma once

#include <QDialog>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

// The about dialog: the icon, the title and version, the maker's notice and link, a panel of
// text about the game, and OK.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* owner);

    static constexpr int ClientWidth = 288;
    static constexpr int ClientHeight = 361;

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QFrame* Panel1 = nullptr;

private:
    void FillPanel();
};
