#include "MakerForm.h"
#include "PhotoPreview.h"
#include "SharingAdvice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <cmath>

// The window's parts, built once: the photo column, the settings column and the button row.

namespace {

// The names of the piece sizes the player has, largest first, as --type numbers them.
QString PieceSizeName(const PuzzleShape& shape) {
    static const char* const Names[] = {"Large", "Medium", "Small", "Very small"};
    const int index = shape.Type - 1;
    const QString name = index >= 0 && index < 4 ? MakerForm::tr(Names[index])
                                                 : MakerForm::tr("Type %1").arg(shape.Type);
    return MakerForm::tr("%1 — %2 pixels").arg(name).arg(shape.PieceSize);
}

QLineEdit* CreditEdit(const QString& name, const QString& tip) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setMaxLength(static_cast<int>(PackageCredits::MaxLineLength));
    edit->setToolTip(tip);
    edit->setClearButtonEnabled(true);
    return edit;
}

} // namespace

QWidget* MakerForm::MakePhotoColumn() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* photoRow = new QHBoxLayout;
    auto* choosePhoto = new QPushButton(tr("Choose &photo…"));
    choosePhoto->setObjectName("choosePhotoButton");
    choosePhoto->setToolTip(tr("A JPEG or BMP photo, or any picture Qt reads (PNG, GIF, WebP, "
                               "TIFF); you can also drop one on the window"));
    connect(choosePhoto, &QPushButton::clicked, this, &MakerForm::ChoosePhoto);
    PhotoName = new QLabel(tr("No photo chosen"));
    PhotoName->setObjectName("photoName");
    PhotoName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    PhotoName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    photoRow->addWidget(choosePhoto);
    photoRow->addWidget(PhotoName, 1);
    layout->addLayout(photoRow);
    PhotoProblem = ProblemLabel("photoProblem", 2);
    layout->addWidget(PhotoProblem);

    Preview = new PhotoPreview;
    layout->addWidget(Preview, 1);

    auto* screenRow = new QHBoxLayout;
    ScreenChoice = new QComboBox;
    ScreenChoice->setObjectName("screenChoice");
    ScreenChoice->setToolTip(tr("The player fills the recipient's screen: the piece count "
                                "depends on its size"));
    for (const MakerScreen& common : Maker.Screens) {
        ScreenChoice->addItem(QString::fromStdString(common.Name));
    }
    AddOwnScreen();
    connect(ScreenChoice, &QComboBox::currentIndexChanged, this, &MakerForm::ChoicesChanged);
    auto* screenLabel = new QLabel(tr("Pieces for a scr&een of:"));
    screenLabel->setBuddy(ScreenChoice);
    screenRow->addWidget(screenLabel);
    screenRow->addWidget(ScreenChoice);
    screenRow->addStretch(1);
    layout->addLayout(screenRow);

    PieceCount = new QLabel;
    PieceCount->setObjectName("pieceCount");
    PieceCount->setWordWrap(true);
    QFont bold = PieceCount->font();
    bold.setBold(true);
    PieceCount->setFont(bold);
    layout->addWidget(PieceCount);
    return column;
}

QWidget* MakerForm::MakeSettingsColumn() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* puzzle = new QGroupBox(tr("Puzzle"));
    auto* puzzleForm = new QFormLayout(puzzle);
    TypeChoice = new QComboBox;
    TypeChoice->setObjectName("typeChoice");
    for (const PuzzleShape& shape : CuttableShapes()) {
        TypeChoice->addItem(PieceSizeName(shape), shape.Type);
    }
    TypeChoice->setToolTip(tr("Smaller pieces make more of them"));
    connect(TypeChoice, &QComboBox::currentIndexChanged, this, &MakerForm::ChoicesChanged);
    puzzleForm->addRow(tr("Piece si&ze:"), TypeChoice);

    ArrangeChoice = new QComboBox;
    ArrangeChoice->setObjectName("arrangeChoice");
    ArrangeChoice->addItem(tr("Scattered over the board"), 2);
    ArrangeChoice->addItem(tr("Laid out in rows"), 1);
    connect(ArrangeChoice, &QComboBox::currentIndexChanged, this, &MakerForm::ChoicesChanged);
    puzzleForm->addRow(tr("Pieces &at start:"), ArrangeChoice);

    ColorButton = new QPushButton;
    ColorButton->setObjectName("colorButton");
    ColorButton->setToolTip(tr("The colour around the pieces"));
    connect(ColorButton, &QPushButton::clicked, this, &MakerForm::ChooseColor);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(ColorButton);
    colorRow->addStretch(1);
    puzzleForm->addRow(tr("&Board colour:"), colorRow);
    qobject_cast<QLabel*>(puzzleForm->labelForField(colorRow))->setBuddy(ColorButton);

    MessageEdit = new QLineEdit;
    MessageEdit->setObjectName("messageEdit");
    MessageEdit->setPlaceholderText(tr("Shown once at the start"));
    MessageEdit->setToolTip(tr("A greeting shown once when the puzzle starts"));
    connect(MessageEdit, &QLineEdit::textChanged, this, &MakerForm::ChoicesChanged);
    MessageProblem = ProblemLabel("messageProblem", 2);
    auto* messageColumn = new QVBoxLayout;
    messageColumn->addWidget(MessageEdit);
    messageColumn->addWidget(MessageProblem);
    puzzleForm->addRow(tr("Start &message:"), messageColumn);
    qobject_cast<QLabel*>(puzzleForm->labelForField(messageColumn))->setBuddy(MessageEdit);
    layout->addWidget(puzzle);

    auto* song = new QGroupBox(tr("Song"));
    auto* songLayout = new QVBoxLayout(song);
    SongName = new QLabel(tr("No song: the puzzle plays in silence"));
    SongName->setObjectName("songName");
    SongName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* songButtons = new QHBoxLayout;
    auto* chooseSong = new QPushButton(tr("Choose s&ong…"));
    chooseSong->setObjectName("chooseSongButton");
    chooseSong->setToolTip(tr("A standard MIDI file, played in a loop; you can also drop one on "
                              "the window"));
    connect(chooseSong, &QPushButton::clicked, this, &MakerForm::ChooseSong);
    PlayButton = new QPushButton(tr("Pla&y"));
    PlayButton->setObjectName("playButton");
    PlayButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    PlayButton->setToolTip(tr("Hear the song as the puzzle plays it"));
    connect(PlayButton, &QPushButton::clicked, this, &MakerForm::PlayOrStop);
    RemoveSongButton = new QPushButton(tr("Remo&ve"));
    RemoveSongButton->setObjectName("removeSongButton");
    RemoveSongButton->setIcon(style()->standardIcon(QStyle::SP_DialogDiscardButton));
    RemoveSongButton->setToolTip(tr("The puzzle plays in silence"));
    connect(RemoveSongButton, &QPushButton::clicked, this, &MakerForm::RemoveSong);
    songButtons->addWidget(chooseSong);
    songButtons->addWidget(PlayButton);
    songButtons->addStretch(1);
    SongProblem = ProblemLabel("songProblem", 2);
    auto* songRow = new QHBoxLayout;
    songRow->addWidget(SongName, 1);
    songRow->addWidget(RemoveSongButton);
    songLayout->addLayout(songRow);
    songLayout->addWidget(SongProblem);
    songLayout->addLayout(songButtons);
    layout->addWidget(song);

    auto* credits = new QGroupBox(tr("Credits"));
    auto* creditsForm = new QFormLayout(credits);
    TitleEdit = CreditEdit("titleEdit", tr("The loading window's title line"));
    PictureCreditEdit = CreditEdit("pictureCreditEdit", tr("Who made the picture"));
    PictureLinkEdit = CreditEdit("pictureLinkEdit", tr("The picture credit's web page"));
    PictureLinkEdit->setPlaceholderText("https://");
    MusicCreditEdit = CreditEdit("musicCreditEdit", tr("Who made the music"));
    MusicLinkEdit = CreditEdit("musicLinkEdit", tr("The music credit's web page"));
    MusicLinkEdit->setPlaceholderText("https://");
    creditsForm->addRow(tr("T&itle:"), TitleEdit);
    creditsForm->addRow(tr("Picture c&redit:"), PictureCreditEdit);
    creditsForm->addRow(tr("Picture &link:"), PictureLinkEdit);
    creditsForm->addRow(tr("M&usic credit:"), MusicCreditEdit);
    creditsForm->addRow(tr("Music lin&k:"), MusicLinkEdit);
    for (QLineEdit* edit :
         {TitleEdit, PictureCreditEdit, PictureLinkEdit, MusicCreditEdit, MusicLinkEdit}) {
        connect(edit, &QLineEdit::textChanged, this, &MakerForm::ChoicesChanged);
    }
    CreditsProblem = ProblemLabel("creditsProblem", 2);
    creditsForm->addRow(CreditsProblem);
    layout->addWidget(credits);

    LeanCheck = new QCheckBox(LeanChoiceName());
    LeanCheck->setObjectName("leanCheck");
    LeanCheck->setToolTip(LeanExplanation());
    connect(LeanCheck, &QCheckBox::toggled, this, &MakerForm::ChoicesChanged);
    auto* leanHint = new QLabel(LeanExplanation());
    leanHint->setObjectName("leanHint");
    leanHint->setWordWrap(true);
    leanHint->setForegroundRole(QPalette::PlaceholderText);
    leanHint->setContentsMargins(style()->pixelMetric(QStyle::PM_IndicatorWidth), 0, 0, 0);
    layout->addWidget(LeanCheck);
    layout->addWidget(leanHint);
    layout->addStretch(1);
    return column;
}

QWidget* MakerForm::MakeButtonRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    Status = new QLabel;
    Status->setObjectName("statusLabel");
    Status->setWordWrap(true);
    Status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    // Four lines, whatever it says (a save's report is the longest): the buttons never move.
    Status->setFixedHeight(Status->fontMetrics().lineSpacing() * 4 + 2);
    Status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Busy = new QProgressBar;
    Busy->setObjectName("busyBar");
    Busy->setRange(0, 0);
    Busy->setMaximumWidth(160);
    Busy->setTextVisible(false);
    TryButton = new QPushButton(tr("&Try it"));
    TryButton->setObjectName("tryButton");
    TryButton->setToolTip(tr("Start the puzzle as the recipient will see it"));
    connect(TryButton, &QPushButton::clicked, this, &MakerForm::TryPuzzle);
    SaveButton = new QPushButton(tr("&Save puzzle…"));
    SaveButton->setObjectName("saveButton");
    SaveButton->setDefault(true);
    connect(SaveButton, &QPushButton::clicked, this, &MakerForm::SavePuzzle);
    layout->addWidget(Status, 1);
    layout->addWidget(Busy);
    layout->addWidget(TryButton);
    layout->addWidget(SaveButton);
    return row;
}

QLabel* MakerForm::ProblemLabel(const char* name, int lines) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setStyleSheet("color: #b00020;");
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    // Room kept for the problem whether there is one or not, so nothing below it moves.
    label->setFixedHeight(label->fontMetrics().lineSpacing() * lines + 2);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// The author's own screen as the player will find it: the work area, this window's frame as the
// window manager draws it (once it does), and a menu bar of this style, all at this scale.
void MakerForm::AddOwnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const double ratio = screen->devicePixelRatio();
    // The toolkit rounds the screen's size to its units; the device size is the whole part back.
    const QSize logical = screen->geometry().size();
    const QSize own(static_cast<int>(std::floor(logical.width() * ratio + 1e-6)),
                    static_cast<int>(std::floor(logical.height() * ratio + 1e-6)));
    ScreenView view{own.width(), own.height(), ratio};
    view.WorkWidth = screen->availableGeometry().width();
    view.WorkHeight = screen->availableGeometry().height();
    const QSize frame = frameGeometry().size() - geometry().size();
    if (frame.height() > 0) {
        view.FrameWidth = frame.width();
        view.FrameHeight = frame.height();
    }
    QMenuBar menu;
    menu.addMenu(tr("&Game"));
    view.MenuBarHeight = menu.sizeHint().height();
    const std::string name = MakerSession::ScreenName(own.width(), own.height(), ratio);
    const MakerScreen chosen{name, view};
    const QString text = tr("Your screen: %1").arg(QString::fromStdString(name));
    if (Maker.Screens.size() > MakerSession::CommonScreens().size()) {
        Maker.Screens.front() = chosen;
        ScreenChoice->setItemText(0, text);
    } else {
        Maker.Screens.insert(Maker.Screens.begin(), chosen);
        ScreenChoice->insertItem(0, text);
        ScreenChoice->setCurrentIndex(0);
    }
}
