#include "windows/Progress.h"

#include "Version.h"
#include "desktop/CompanionPlacement.h"
#include "package/PackageCredits.h"
#include "windows/Banner.h"
#include "windows/Labels.h"
#include "windows/LinkClick.h"
#include "windows/WebLinks.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTextDocument>

namespace {

// The widest a credit line may run inside its panel.
constexpr int CreditLineWidth = 305 - 2 * 8;

const QString NeutralTitle = QStringLiteral("Tavrin jigsaw puzzle");

void SetCreditLine(QLabel* label, const std::string& utf8) {
    const QString text = QString::fromStdString(utf8);
    const QString shown = label->fontMetrics().elidedText(text, Qt::ElideRight, CreditLineWidth);
    label->setTextFormat(Qt::PlainText);
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : Qt::convertFromPlainText(text));
    label->resize(std::min(CreditLineWidth, label->sizeHint().width()), label->height());
    label->setVisible(!text.isEmpty());
}

} // namespace

TFormProgress::TFormProgress(QWidget* owner, const PackageCredits& credits)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("FormProgress"));
    setWindowTitle(QString::fromUtf8(TavrinTitle));
    setFixedSize(ClientWidth, ClientHeight);
    QFont font = this->font();
    font.setFamily(QStringLiteral("Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 0, 321, 373);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    Panel2 = EtchedPanel(Panel1, {8, 8, 305, 136});
    Image1 = new QLabel(Panel2);
    Image1->setGeometry(2, 2, 301, 132);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(PaintBanner());

    Panel3 = EtchedPanel(Panel1, {8, 147, 305, 117});
    Label1 = PlacedLabel(Panel3, {8, 8, 240, 13}, NeutralTitle);
    // The maker has no web page: its link line stays empty and hidden.
    Label4 = LinkLabel(Panel3, {8, 24, 169, 13}, {});
    Label4->hide();
    Label2 = PlacedLabel(Panel3, {8, 44, 152, 13}, {});
    Label6 = LinkLabel(Panel3, {8, 60, 178, 13}, {});
    new LinkClick(Label6, [this] { Label6Click(); });
    Label3 = PlacedLabel(Panel3, {8, 80, 210, 13}, {});
    Label5 = LinkLabel(Panel3, {8, 96, 200, 13}, {});
    new LinkClick(Label5, [this] { Label5Click(); });
    ShowCredits(credits);

    ProgressBar = new QProgressBar(Panel1);
    ProgressBar->setGeometry(8, 320, 305, 17);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);

    ButtonClose = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                  QStringLiteral("&Start the game"), Panel1);
    ButtonClose->setGeometry(8, 340, 305, 25);
    ButtonClose->setEnabled(false);
    connect(ButtonClose, &QPushButton::clicked, this, &QWidget::close);

    Panel4 = EtchedPanel(Panel1, {8, 267, 305, 50});
    Label7 = PlacedLabel(Panel4, {8, 6, 267, 39},
                         QStringLiteral("This program is free of charge. You may pass it on to "
                                        "others as it is, but you must not modify it."));
    Label7->setWordWrap(true);
    Label7->setGeometry(8, 6, 267, 39);
    KeepCentredOnScreen(*this);
}

void TFormProgress::ShowCredits(const PackageCredits& credits) {
    SetCreditLine(Label1, credits.Title.empty() ? NeutralTitle.toStdString() : credits.Title);
    SetCreditLine(Label2, credits.PictureCredit);
    SetCreditLine(Label6, credits.PictureLink);
    SetCreditLine(Label3, credits.MusicCredit);
    SetCreditLine(Label5, credits.MusicLink);
    PictureLink = QString::fromStdString(credits.PictureLink);
    MusicLink = QString::fromStdString(credits.MusicLink);
}

QLabel* TFormProgress::LinkLabel(QWidget* parent, const QRect& geometry, const QString& text) {
    QLabel* label = PlacedLabel(parent, geometry, text);
    StyleAsLink(label);
    return label;
}

void TFormProgress::Label6Click() {
    if (!PictureLink.isEmpty()) {
        OpenWebLink(PictureLink);
    }
}
void TFormProgress::Label5Click() {
    if (!MusicLink.isEmpty()) {
        OpenWebLink(MusicLink);
    }
}
