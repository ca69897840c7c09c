#include "MakerForm.h"

#include "PhotoPreview.h"
#include "music/MediaPlayer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <utility>

namespace {

// The screens the preview offers besides the author's own, in device pixels.
constexpr QSize CommonScreens[] = {{1366, 768}, {1920, 1080}, {2560, 1440}, {3840, 2160}};

QString SizeText(int width, int height) {
    return QStringLiteral("%1 × %2").arg(width).arg(height);
}

// The names of the piece sizes the player has, largest first, as --type numbers them.
QString PieceSizeName(const PuzzleShape& shape) {
    static const char* const Names[] = {"Large", "Medium", "Small", "Very small"};
    const int index = shape.Type - 1;
    const QString name = index >= 0 && index < 4 ? MakerForm::tr(Names[index])
                                                 : MakerForm::tr("Type %1").arg(shape.Type);
    return MakerForm::tr("%1 — %2 pixels").arg(name).arg(shape.PieceSize);
}

// The trailer's 0x00BBGGRR.
TColor TrailerColor(const QColor& color) {
    return static_cast<TColor>(color.blue()) << 16 | static_cast<TColor>(color.green()) << 8 |
           static_cast<TColor>(color.red());
}

QIcon Swatch(const QColor& color, int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(QColor(0, 0, 0, 120));
    painter.drawRect(0, 0, side - 1, side - 1);
    return QIcon(pixmap);
}

bool LooksLikeASong(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "mid" || suffix == "midi" || suffix == "kar" || suffix == "smf") {
        return true;
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == "MThd";
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

MakerForm::MakerForm(const DefaultPlayers& players, QWidget* parent)
    : QWidget(parent)
    , Players(players)
    , BoardColor(QColor(0x00, 0x80, 0x80))
    , Music(std::make_unique<MediaPlayer>()) {
    setWindowTitle(tr("Tavrin Puzzle Maker"));
    setAcceptDrops(true);
    AskSavePath = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(this, tr("Save Puzzle"), suggested);
    };

    auto* columns = new QHBoxLayout;
    columns->addWidget(MakePhotoColumn(), 3);
    columns->addWidget(MakeSettingsColumn(), 2);
    auto* window = new QVBoxLayout(this);
    window->addLayout(columns, 1);
    window->addWidget(MakeButtonRow());

    connect(&PhotoWatch, &QFutureWatcher<LoadedPhoto>::finished, this, &MakerForm::PhotoDecoded);
    connect(&WriteWatch, &QFutureWatcher<PackOutcome>::finished, this, &MakerForm::Written);
    connect(Music.get(), &MediaPlayer::Notify, this, &MakerForm::SongEnded);
    UpdatePreview();
    UpdateBusy();
    CheckMessage();
    // Room for the photo to be seen, within the screen.
    QSize size = sizeHint().expandedTo(QSize(980, 620));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    }
    resize(size.expandedTo(minimumSizeHint()));
}

MakerForm::~MakerForm() {
    Music->Close();
    // A puzzle still being written finishes first: its temporary file is then removed or renamed.
    WriteWatch.waitForFinished();
    PhotoWatch.waitForFinished();
    // A copy: a try that ends here takes itself off the list.
    const QList<QProcess*> tries = TryProcesses;
    for (QProcess* process : tries) {
        if (process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(3000)) {
                process->kill();
                process->waitForFinished(1000);
            }
        }
    }
}

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

    Preview = new PhotoPreview;
    layout->addWidget(Preview, 1);

    auto* screenRow = new QHBoxLayout;
    ScreenChoice = new QComboBox;
    ScreenChoice->setObjectName("screenChoice");
    ScreenChoice->setToolTip(tr("The player fills the recipient's screen: the piece count "
                                "depends on its size"));
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const double ratio = screen->devicePixelRatio();
        const QSize own = screen->geometry().size() * ratio;
        const QSize work = screen->availableGeometry().size() * ratio;
        const BoardSize board = BoardOfWorkArea(work.width(), work.height(), ratio);
        ScreenChoice->addItem(tr("Your screen (%1)").arg(SizeText(own.width(), own.height())),
                              QVariantList{own.width(), own.height(), board.Width, board.Height});
    }
    for (const QSize& size : CommonScreens) {
        const BoardSize board = BoardOfScreen(size.width(), size.height());
        ScreenChoice->addItem(SizeText(size.width(), size.height()),
                              QVariantList{size.width(), size.height(), board.Width, board.Height});
    }
    connect(ScreenChoice, &QComboBox::currentIndexChanged, this, &MakerForm::UpdatePreview);
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
    connect(TypeChoice, &QComboBox::currentIndexChanged, this, &MakerForm::UpdatePreview);
    puzzleForm->addRow(tr("Piece si&ze:"), TypeChoice);

    ArrangeChoice = new QComboBox;
    ArrangeChoice->setObjectName("arrangeChoice");
    ArrangeChoice->addItem(tr("Scattered over the board"), 2);
    ArrangeChoice->addItem(tr("Laid out in rows"), 1);
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
    MessageEdit->setToolTip(tr("At most 254 characters of Windows-1252 (Western European "
                               "letters); the title takes any text"));
    connect(MessageEdit, &QLineEdit::textChanged, this, &MakerForm::CheckMessage);
    MessageProblem = new QLabel;
    MessageProblem->setObjectName("messageProblem");
    MessageProblem->setWordWrap(true);
    MessageProblem->setStyleSheet("color: #b00020;");
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
    songButtons->addWidget(chooseSong);
    songButtons->addWidget(PlayButton);
    songButtons->addStretch(1);
    songLayout->addWidget(SongName);
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
    layout->addWidget(credits);

    LeanCheck = new QCheckBox(tr("Lea&n puzzle"));
    LeanCheck->setObjectName("leanCheck");
    LeanCheck->setToolTip(tr("About 1.6 MB plus the photo and song instead of about 18 MB, but "
                             "the recipient needs Qt 6.4, libjpeg-turbo and FluidSynth installed"));
    layout->addWidget(LeanCheck);
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
    Status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
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
    ColorButton->setText(BoardColor.name());
    ColorButton->setIcon(Swatch(BoardColor, 16));
    return row;
}

void MakerForm::OpenPhoto(const QString& path) {
    // A photo still being decoded is forgotten: the watcher reports only the latest.
    Decoding = true;
    Preview->SetBusy(true);
    PhotoName->setText(QFileInfo(path).fileName());
    ShowStatus(tr("Opening %1…").arg(QFileInfo(path).fileName()), false);
    PhotoWatch.setFuture(QtConcurrent::run(LoadPhoto, path));
    UpdateBusy();
}

void MakerForm::PhotoDecoded() {
    Decoding = false;
    Preview->SetBusy(false);
    LoadedPhoto loaded = PhotoWatch.result();
    if (!loaded.Problem.isEmpty()) {
        ShowStatus(loaded.Problem, true);
        PhotoName->setText(Photo.Path.isEmpty() ? tr("No photo chosen")
                                                : QFileInfo(Photo.Path).fileName());
    } else {
        Photo = std::move(loaded);
        PhotoName->setText(QFileInfo(Photo.Path).fileName());
        PhotoName->setToolTip(QDir::toNativeSeparators(Photo.Path));
        Preview->SetPhoto(Photo.Preview, Photo.PackedWidth);
        ShowStatus(tr("The puzzle's picture is %1 pixels.")
                       .arg(SizeText(Photo.PackedWidth, Photo.PackedHeight)),
                   false);
    }
    UpdatePreview();
    UpdateBusy();
    emit PhotoOpened();
}

void MakerForm::OpenSong(const QString& path) {
    const std::string problem = SongProblem(path.toStdString());
    if (!problem.empty()) {
        ShowStatus(QString::fromStdString(problem), true);
        return;
    }
    if (Music->GetMode() != MediaPlayer::Mode::NotOpen) {
        Music->Close();
        SongEnded();
    }
    SongPath = path;
    SongName->setText(QFileInfo(path).fileName());
    SongName->setToolTip(QDir::toNativeSeparators(path));
    ShowStatus(
        tr("The song %1 plays in a loop while the puzzle is open.").arg(QFileInfo(path).fileName()),
        false);
    UpdateBusy();
}

void MakerForm::ChoosePhoto() {
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Choose a Photo"), QFileInfo(Photo.Path).path(),
        tr("Pictures (*.jpg *.jpeg *.bmp *.png *.gif *.webp *.tif *.tiff);;All files (*)"));
    if (!path.isEmpty()) {
        OpenPhoto(path);
    }
}

void MakerForm::ChooseSong() {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Choose a Song"), QFileInfo(SongPath).path(),
                                     tr("MIDI songs (*.mid *.midi *.kar);;All files (*)"));
    if (!path.isEmpty()) {
        OpenSong(path);
    }
}

void MakerForm::ChooseColor() {
    const QColor chosen = QColorDialog::getColor(BoardColor, this, tr("Board Colour"));
    if (!chosen.isValid()) {
        return;
    }
    BoardColor = chosen;
    ColorButton->setText(BoardColor.name());
    ColorButton->setIcon(Swatch(BoardColor, 16));
}

BoardSize MakerForm::ChosenBoard() const {
    const QVariantList sizes = ScreenChoice->currentData().toList();
    return sizes.size() == 4 ? BoardSize{sizes[2].toInt(), sizes[3].toInt()} : BoardSize{};
}

void MakerForm::UpdatePreview() {
    if (Photo.Preview.isNull()) {
        PieceCount->setText(tr("Choose a photo to see its pieces."));
        return;
    }
    const QVariantList sizes = ScreenChoice->currentData().toList();
    const QString screen =
        sizes.size() == 4 ? SizeText(sizes[0].toInt(), sizes[1].toInt()) : QString();
    const PuzzleLayout layout =
        LayOutPuzzle(Photo.PackedWidth, Photo.PackedHeight, ChosenBoard(),
                     PuzzleShape::ForType(TypeChoice->currentData().toInt()), 100);
    Preview->SetLayout(layout);
    if (layout.PieceCount() == 0) {
        PieceCount->setText(tr("Too small to cut on a %1 screen.").arg(screen));
        return;
    }
    QString text = tr("≈ %1 pieces on a %2 screen").arg(layout.PieceCount()).arg(screen);
    if (layout.Fit.ZoomPercent < 100) {
        text += tr(" (the photo shown at %1 %)").arg(layout.Fit.ZoomPercent);
    }
    PieceCount->setText(text);
}

void MakerForm::CheckMessage() {
    try {
        EncodeMessage(MessageEdit->text().toStdString());
        MessageProblem->clear();
        MessageProblem->hide();
    } catch (const BadArguments& bad) {
        MessageProblem->setText(QString::fromStdString(bad.Message));
        MessageProblem->show();
    }
}

void MakerForm::PlayOrStop() {
    if (Music->GetMode() == MediaPlayer::Mode::Playing) {
        Music->Close();
        SongEnded();
        return;
    }
    Music->FileName = SongPath;
    if (const Result<void> opened = Music->Open(); !opened) {
        Music->Close();
        ShowStatus(tr("The song cannot be played here: %1")
                       .arg(QString::fromStdString(opened.Error().What)),
                   true);
        return;
    }
    Music->Play();
    PlayButton->setText(tr("Stop pla&ying"));
    PlayButton->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
}

void MakerForm::SongEnded() {
    PlayButton->setText(tr("Pla&y"));
    PlayButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
}

PackOptions MakerForm::Choices(const QString& output) const {
    PackOptions o;
    o.Lean = LeanCheck->isChecked();
    o.Player = o.Lean ? Players.Lean : Players.Portable;
    o.Picture = Photo.Path.toStdString();
    o.Song = SongPath.toStdString();
    o.Output = output.toStdString();
    o.Trailer.PuzzleType = static_cast<std::int8_t>(TypeChoice->currentData().toInt());
    o.Trailer.ArrangeMode = ArrangeChoice->currentData().toInt();
    o.Trailer.BoardColor = TrailerColor(BoardColor);
    o.Trailer.StartMessage = EncodeMessage(MessageEdit->text().toStdString());
    o.Credits.Title = TitleEdit->text().trimmed().toStdString();
    o.Credits.PictureCredit = PictureCreditEdit->text().trimmed().toStdString();
    o.Credits.PictureLink = PictureLinkEdit->text().trimmed().toStdString();
    o.Credits.MusicCredit = MusicCreditEdit->text().trimmed().toStdString();
    o.Credits.MusicLink = MusicLinkEdit->text().trimmed().toStdString();
    return o;
}

void MakerForm::SavePuzzle() {
    if (Photo.Path.isEmpty()) {
        ShowStatus(tr("Choose a photo first."), true);
        emit PuzzleWritten(false);
        return;
    }
    const QFileInfo photo(Photo.Path);
    const QString suggested = photo.dir().filePath(photo.completeBaseName() + tr("-puzzle"));
    const QString output = AskSavePath(suggested);
    if (!output.isEmpty()) {
        Write(output, false);
    }
}

void MakerForm::TryPuzzle() {
    if (Photo.Path.isEmpty()) {
        ShowStatus(tr("Choose a photo first."), true);
        emit PuzzleWritten(false);
        return;
    }
    if (!TryFolder.isValid()) {
        ShowStatus(tr("No private temporary folder can be made: %1").arg(TryFolder.errorString()),
                   true);
        return;
    }
    // The puzzle plays the song itself.
    if (Music->GetMode() == MediaPlayer::Mode::Playing) {
        Music->Close();
        SongEnded();
    }
    Write(TryFolder.filePath(QStringLiteral("puzzle-%1").arg(++TryCount)), true);
}

void MakerForm::Write(const QString& output, bool trying) {
    if (WriteWatch.isRunning()) {
        return;
    }
    PackOptions choices;
    try {
        choices = Choices(output);
    } catch (const BadArguments& bad) {
        ShowStatus(QString::fromStdString(bad.Message), true);
        emit PuzzleWritten(false);
        return;
    }
    WriteIsTry = trying;
    WriteOutput = output;
    Writing = true;
    ShowStatus(choices.Lean ? tr("Writing the puzzle…")
                            : tr("Writing the portable puzzle (about 18 MB)…"),
               false);
    WriteWatch.setFuture(QtConcurrent::run(WritePuzzle, choices));
    UpdateBusy();
}

void MakerForm::Written() {
    Writing = false;
    UpdateBusy();
    // A close asked for while writing happens now, unless the author has a failure to read.
    const bool closing = std::exchange(CloseWhenWritten, false);
    const PackOutcome outcome = WriteWatch.result();
    QStringList lines;
    for (const std::string& line : outcome.Notes) {
        lines << QString::fromStdString(line);
    }
    for (const std::string& line : outcome.Warnings) {
        lines << QString::fromStdString(line);
    }
    if (!outcome.Written()) {
        lines.prepend(
            QString::fromStdString(outcome.Refusal.empty() ? outcome.Failure : outcome.Refusal));
        ShowStatus(lines.join('\n'), true);
        emit PuzzleWritten(false);
        return;
    }
    if (closing) {
        emit PuzzleWritten(true);
        close();
        return;
    }
    if (WriteIsTry) {
        StartTry(WriteOutput);
        lines.prepend(tr("The puzzle is starting as the recipient will see it."));
    } else {
        lines.prepend(tr("Saved %1.").arg(QDir::toNativeSeparators(WriteOutput)));
    }
    ShowStatus(lines.join('\n'), false);
    emit PuzzleWritten(true);
}

// The puzzle tried runs on its own; its file goes when it ends.
void MakerForm::StartTry(const QString& puzzle) {
    auto* process = new QProcess(this);
    process->setProgram(puzzle);
    process->setWorkingDirectory(TryFolder.path());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(process, &QProcess::finished, this, [this, process] { EndTry(process); });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            ShowStatus(tr("The puzzle could not be started: %1").arg(process->errorString()), true);
            EndTry(process);
        }
    });
    TryProcesses << process;
    process->start();
}

void MakerForm::EndTry(QProcess* process) {
    if (TryProcesses.removeOne(process)) {
        QFile::remove(process->program());
        process->deleteLater();
    }
}

void MakerForm::ShowStatus(const QString& text, bool error) {
    Status->setText(text);
    Status->setStyleSheet(error ? QStringLiteral("color: #b00020;") : QString());
    Status->setAccessibleDescription(error ? tr("Error") : QString());
}

void MakerForm::UpdateBusy() {
    Busy->setVisible(IsBusy());
    const bool canWrite = !IsBusy();
    TryButton->setEnabled(canWrite);
    SaveButton->setEnabled(canWrite);
    PlayButton->setEnabled(!SongPath.isEmpty());
}

void MakerForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void MakerForm::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    OpenFiles(paths);
    event->acceptProposedAction();
}

void MakerForm::OpenFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        if (LooksLikeASong(path)) {
            OpenSong(path);
        } else {
            OpenPhoto(path);
        }
    }
}

// A puzzle being written is finished first, so that the author knows whether it was saved.
void MakerForm::closeEvent(QCloseEvent* event) {
    if (Writing) {
        CloseWhenWritten = true;
        ShowStatus(tr("Finishing the puzzle, then closing…"), false);
        event->ignore();
        return;
    }
    Music->Close();
    event->accept();
}
