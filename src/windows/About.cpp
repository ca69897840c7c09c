#include "windows/About.h"

#include "Version.h"
#include "desktop/CompanionPlacement.h"
#include "windows/AppIcon.h"
#include "windows/Labels.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

TFormAbout::TFormAbout(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(ClientWidth, ClientHeight);
    QFont font = this->font();
    font.setFamily(QStringLiteral("Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setGeometry(8, 0, 273, 89);
    Image1 = new QLabel(GroupBox1);
    Image1->setGeometry(16, 16, 33, 33);
    Image1->setPixmap(PaintAppIconPixmap());
    Label1 = PlacedLabel(GroupBox1, {64, 16, 152, 13}, QString::fromUtf8(TavrinTitle));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label2 = PlacedLabel(GroupBox1, {64, 32, 53, 13},
                         QStringLiteral("Version ") + QString::fromUtf8(TavrinVersion));
    Label3 = PlacedLabel(GroupBox1, {64, 48, 145, 13}, QStringLiteral("© 2026 The Tavrin team"));
    // The maker has no web page: its link line stays empty and hidden.
    Label4 = PlacedLabel(GroupBox1, {64, 64, 169, 13}, {});
    Label4->hide();

    Panel1 = EtchedPanel(this, {8, 96, 273, 229});
    FillPanel();

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("OK"), this);
    BitBtn1->setGeometry(112, 330, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    KeepCentredOnScreen(*this);
}

void TFormAbout::FillPanel() {
    QLabel* text = PlacedLabel(
        Panel1, {10, 10, 253, 209},
        QStringLiteral("A picture waits, cut into pieces.\n\n"
                       "Drag the pieces with the mouse and drop them beside their "
                       "neighbours: they snap together when they belong.\n\n"
                       "Game, New game (F2) cuts the picture anew; Options, Show thumbnail "
                       "shows the whole picture.\n\n"
                       "Merry Christmas, and happy puzzling!"));
    text->setWordWrap(true);
    text->setGeometry(10, 10, 253, 209);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}
