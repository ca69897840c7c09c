#include "MakerForm.h"

#include "FileChoices.h"
#include "MakerWords.h"
#include "PhotoPreview.h"
#include "SharingAdvice.h"
#include "base/WholeFile.h"
#include "desktop/BringForward.h"
#include "music/MediaPlayer.h"
#include "music/MidiSong.h"

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

QString SizeText(int width, int height) {
    return QStringLiteral("%1 × %2").arg(width).arg(height);
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

} // namespace

MakerForm::MakerForm(const DefaultPlayers& players, QWidget* parent)
    : QWidget(parent)
    , Maker(players)
    , BoardColor(QColor(0x00, 0x80, 0x80))
    , Music(std::make_unique<MediaPlayer>()) {
    setWindowTitle(tr("Tavrin Puzzle Maker"));
    setAcceptDrops(true);
    AskSavePath = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(this, tr("Save Puzzle"), suggested);
    };
    Ask = [this](const Question& question) { return AskInMessageBox(this, question); };

    auto* columns = new QHBoxLayout;
    columns->addWidget(MakePhotoColumn(), 3);
    columns->addWidget(MakeSettingsColumn(), 2);
    auto* window = new QVBoxLayout(this);
    window->addLayout(columns, 1);
    window->addWidget(MakeButtonRow());

    connect(&PhotoWatch, &QFutureWatcher<LoadedPhoto>::finished, this, &MakerForm::PhotoDecoded);
    connect(&WriteWatch, &QFutureWatcher<PackResult>::finished, this, &MakerForm::Written);
    connect(Music.get(), &MediaPlayer::Notify, this, &MakerForm::SongEnded);
    SetBoardColor(BoardColor);
    RecallSettings();
    ChoicesChanged();
    SavedState = SaveState();
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
    Photo = PhotoWatch.result();
    Maker.Choices.Photo = Photo.Path.toStdString();
    Maker.Choices.PhotoRefused = Photo.Refused;
    Maker.Choices.PhotoWidth = Photo.Refused ? 0 : Photo.PackedWidth;
    Maker.Choices.PhotoHeight = Photo.Refused ? 0 : Photo.PackedHeight;
    PhotoName->setText(QFileInfo(Photo.Path).fileName());
    PhotoName->setToolTip(QDir::toNativeSeparators(Photo.Path));
    PhotoFolder = QFileInfo(Photo.Path).absolutePath();
    Preview->SetPhoto(Photo.Preview, Photo.PackedWidth);
    if (Photo.Refused) {
        ShowStatus(QString(), false);
    } else {
        ShowStatus(tr("The puzzle's picture is %1 pixels.")
                       .arg(SizeText(Photo.PackedWidth, Photo.PackedHeight)),
                   false);
    }
    ChoicesChanged();
    UpdateBusy();
    emit PhotoOpened();
}

void MakerForm::OpenSong(const QString& path) {
    if (Music->GetMode() != MediaPlayer::Mode::NotOpen) {
        Music->Close();
        SongEnded();
    }
    Maker.ChooseSong(path.toStdString());
    SongName->setText(QFileInfo(path).fileName());
    SongName->setToolTip(QDir::toNativeSeparators(path));
    SongFolder = QFileInfo(path).absolutePath();
    const Result<std::vector<std::uint8_t>> bytes = ReadWholeFile(path.toStdString());
    SongWarning.clear();
    if (const auto read = bytes ? ReadMidiSong(*bytes) : std::nullopt; read && read->Cut) {
        SongWarning = tr("This song is cut short or damaged: it plays up to the damage.");
    }
    if (!Maker.Choices.SongRefused) {
        ShowStatus(tr("The song %1 plays in a loop while the puzzle is open.")
                       .arg(QFileInfo(path).fileName()),
                   false);
    }
    ChoicesChanged();
}

void MakerForm::ChoosePhoto() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Choose a Photo"),
                                                      PhotoStartFolder(PhotoFolder), PhotoFilter());
    if (!path.isEmpty()) {
        OpenPhoto(path);
    }
}

void MakerForm::ChooseSong() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Choose a Song"),
                                                      SongStartFolder(SongFolder), SongFilter());
    if (!path.isEmpty()) {
        OpenSong(path);
    }
}

void MakerForm::ChooseColor() {
    const QColor chosen = QColorDialog::getColor(BoardColor, this, tr("Board Colour"));
    if (chosen.isValid()) {
        SetBoardColor(chosen);
        ChoicesChanged();
    }
}

void MakerForm::SetBoardColor(const QColor& color) {
    BoardColor = color;
    ColorButton->setText(BoardColor.name());
    ColorButton->setIcon(Swatch(BoardColor, 16));
    Preview->SetBoardColor(BoardColor);
}

void MakerForm::ChoicesChanged() {
    MakerChoices& c = Maker.Choices;
    Maker.Screen = static_cast<std::size_t>(std::max(0, ScreenChoice->currentIndex()));
    c.Type = TypeChoice->currentData().toInt();
    c.Arrange = ArrangeChoice->currentData().toInt();
    c.BoardColor = TrailerColor(BoardColor);
    c.Message = MessageEdit->text().toStdString();
    c.Credits.Title = TitleEdit->text().trimmed().toStdString();
    c.Credits.PictureCredit = PictureCreditEdit->text().trimmed().toStdString();
    c.Credits.PictureLink = PictureLinkEdit->text().trimmed().toStdString();
    c.Credits.MusicCredit = MusicCreditEdit->text().trimmed().toStdString();
    c.Credits.MusicLink = MusicLinkEdit->text().trimmed().toStdString();
    c.Lean = LeanCheck->isChecked();
    UpdatePreview();
    ShowProblems();
    UpdateBusy();
}

void MakerForm::UpdatePreview() {
    const MakerScreen* chosen = Maker.ChosenScreen();
    if (Photo.Preview.isNull() || Maker.Choices.PhotoRefused || chosen == nullptr) {
        PieceCount->setText(tr("Choose a photo to see its pieces."));
        return;
    }
    const QString screen = QString::fromStdString(chosen->Name);
    const PuzzleLayout layout = Maker.Layout();
    Preview->SetLayout(layout);
    if (layout.PieceCount() == 0) {
        PieceCount->setText(tr("Too small to cut on a screen of %1.").arg(screen));
        return;
    }
    QString text = tr("≈ %1 pieces on a screen of %2").arg(layout.PieceCount()).arg(screen);
    if (layout.Fit.ZoomPercent < 100) {
        text += tr(" (the photo shown at %1 %)").arg(layout.Fit.ZoomPercent);
    }
    PieceCount->setText(text);
}

// Each field's problem beside it, in the maker's words.
void MakerForm::ShowProblems() {
    const std::pair<MakerField, QLabel*> fields[] = {{MakerField::Photo, PhotoProblem},
                                                     {MakerField::Song, SongProblem},
                                                     {MakerField::Message, MessageProblem},
                                                     {MakerField::Credits, CreditsProblem}};
    for (const auto& [field, label] : fields) {
        const std::optional<FieldProblem> problem = Maker.ProblemOf(field);
        const bool warning = !problem && field == MakerField::Song && !SongWarning.isEmpty();
        label->setText(problem   ? QString::fromStdString(MakerWords(problem->Problem))
                       : warning ? SongWarning
                                 : QString());
        label->setStyleSheet((problem && !problem->Blocks) || warning ? "color: #8a5a00;"
                                                                      : "color: #b00020;");
        label->setToolTip(label->text());
    }
}

void MakerForm::PlayOrStop() {
    if (Music->GetMode() == MediaPlayer::Mode::Playing) {
        Music->Close();
        SongEnded();
        return;
    }
    Music->FileName = QString::fromStdString(Maker.Choices.Song);
    if (const Result<void> opened = Music->Open(); !opened) {
        Music->Close();
        ShowSongProblem(tr("This song cannot be played here: %1")
                            .arg(QString::fromStdString(opened.Error().What)));
        return;
    }
    Music->Play();
    if (Music->GetMode() != MediaPlayer::Mode::Playing) {
        Music->Close();
        ShowSongProblem(tr("This song cannot be played here."));
        return;
    }
    PlayButton->setText(tr("Stop pla&ying"));
    PlayButton->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
}

// The sound device is given back as soon as the song has ended.
void MakerForm::SongEnded() {
    Music->Close();
    PlayButton->setText(tr("Pla&y"));
    PlayButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
}

void MakerForm::SavePuzzle() {
    if (!Maker.CanWrite()) {
        ShowStatus(Photo.Path.isEmpty() ? tr("Choose a photo first.") : QString(), true);
        emit PuzzleWritten(false);
        return;
    }
    const QFileInfo photo(Photo.Path);
    const QDir folder = SaveFolder.isEmpty() ? photo.dir() : QDir(SaveFolder);
    const QString suggested = folder.filePath(photo.completeBaseName() + tr("-puzzle"));
    const QString output = ProgramName(AskSavePath(suggested));
    if (!output.isEmpty()) {
        Write(output, false);
    }
}

void MakerForm::TryPuzzle() {
    if (!Maker.CanWrite()) {
        ShowStatus(Photo.Path.isEmpty() ? tr("Choose a photo first.") : QString(), true);
        emit PuzzleWritten(false);
        return;
    }
    // One puzzle per click: while one tried runs, a click brings it forward.
    if (!TryProcesses.isEmpty()) {
        BringForward(TryProcesses.last()->processId());
        ShowStatus(tr("The puzzle you tried is still open."), false);
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
    const Result<PackOptions, BadArguments> choices = Maker.WriteOptions(output.toStdString());
    if (!choices) {
        const std::optional<PackProblem>& problem = choices.Error().Problem;
        ShowStatus(problem ? QString::fromStdString(MakerWords(*problem)) : QString(), true);
        emit PuzzleWritten(false);
        return;
    }
    WriteIsTry = trying;
    WriteOutput = output;
    WriteIsLean = choices->Lean;
    WriteState = SaveState();
    Writing = true;
    ShowStatus(choices->Lean ? tr("Writing the puzzle…")
                             : tr("Writing the portable puzzle (about 18 MB)…"),
               false);
    WriteWatch.setFuture(QtConcurrent::run(WritePuzzle, *choices));
    UpdateBusy();
}

void MakerForm::Written() {
    Writing = false;
    UpdateBusy();
    // A close asked for while writing happens now, unless the author has a failure to read.
    const bool closing = std::exchange(CloseWhenWritten, false);
    const PackResult written = WriteWatch.result();
    const PackReport& report = written ? *written : written.Error().Report;
    QStringList lines;
    for (const PackProblem& remark : report.Remarks) {
        // A photo too small on some screens is said beside the photo already.
        if (remark.Fault != PackFault::PictureTooSmall) {
            lines << QString::fromStdString(MakerWords(remark));
        }
    }
    if (!written) {
        const std::optional<PackProblem>& why = written.Error().Problem;
        lines.prepend(why ? QString::fromStdString(MakerWords(*why))
                          : tr("The puzzle could not be written: %1")
                                .arg(QString::fromStdString(written.Error().What)));
        ShowStatus(lines.join(' '), true);
        emit PuzzleWritten(false);
        return;
    }
    if (!WriteIsTry) {
        SavedState = WriteState;
        SaveFolder = QFileInfo(WriteOutput).absolutePath();
    }
    if (closing) {
        emit PuzzleWritten(true);
        close();
        return;
    }
    const QString notes = lines.join(' ');
    if (WriteIsTry) {
        StartTry(WriteOutput);
        ShowStatus(tr("The puzzle is starting as the recipient will see it.") + ' ' + notes, false);
    } else {
        const QString saved =
            AfterSaveText(WriteOutput, QFileInfo(WriteOutput).size(), WriteIsLean);
        ShowStatus(notes.isEmpty() ? saved : saved + '\n' + notes, false);
    }
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
    if (Closed && TryProcesses.isEmpty()) {
        emit Done();
    }
}

void MakerForm::ShowStatus(const QString& text, bool error) {
    Status->setText(text);
    Status->setStyleSheet(error ? QStringLiteral("color: #b00020;") : QString());
    Status->setAccessibleDescription(error ? tr("Error") : QString());
}

void MakerForm::UpdateBusy() {
    Busy->setVisible(IsBusy());
    const bool canWrite = !IsBusy() && Maker.CanWrite();
    TryButton->setEnabled(canWrite);
    SaveButton->setEnabled(canWrite);
    PlayButton->setEnabled(!Maker.Choices.Song.empty() && !Maker.Choices.SongRefused);
    RemoveSongButton->setEnabled(!Maker.Choices.Song.empty());
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

// Once the window manager has framed the window, the own screen's board counts that frame.
void MakerForm::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    AddOwnScreen();
    UpdatePreview();
}

// A puzzle being written is finished first, so that the author knows whether it was saved.
void MakerForm::closeEvent(QCloseEvent* event) {
    if (Writing) {
        CloseWhenWritten = true;
        ShowStatus(tr("Finishing the puzzle, then closing…"), false);
        event->ignore();
        return;
    }
    if (!MayCloseUnsaved()) {
        event->ignore();
        return;
    }
    Music->Close();
    RememberSettings();
    Closed = true;
    event->accept();
    // A tried puzzle goes on; its file goes when it ends, and the maker with it.
    if (TryProcesses.isEmpty()) {
        emit Done();
    }
}
