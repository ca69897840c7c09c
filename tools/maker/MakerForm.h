#pragma once

#include "FormQuestion.h"
#include "MakerSession.h"
#include "MakerWork.h"
#include "PackOptions.h"
#include "game/ScreenLayout.h"

#include <QColor>
#include <QFutureWatcher>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>
#include <memory>

class MediaPlayer;
class PhotoPreview;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProcess;
class QProgressBar;
class QPushButton;

// The Puzzle Maker's one window: a photo with its piece grid, the puzzle's settings, its song and
// credits, and the two ways out: try the puzzle as the recipient sees it, or save it. The form
// is a view of a MakerSession, which holds the choices and runs the player's gate on them; Try
// and Save are offered only when the gate passes. Every puzzle is written by tavrin-pack's own
// WritePuzzle, off the user-interface thread.
class MakerForm : public QWidget {
    Q_OBJECT
public:
    // `players` are the player images to copy (tavrin-portable, and tavrin-lean for a lean puzzle).
    explicit MakerForm(const DefaultPlayers& players, QWidget* parent = nullptr);
    ~MakerForm() override;

    // As if chosen in the file dialog or dropped: the photo is decoded in the background
    // (PhotoOpened follows), the song checked at once.
    void OpenPhoto(const QString& path);
    void OpenSong(const QString& path);
    // Files given on the command line or dropped, in any order: MIDI songs are opened as the
    // song, anything else as the photo.
    void OpenFiles(const QStringList& paths);

    // Asks where to save, given a suggested path; an empty answer cancels. By default the
    // desktop's save dialog; tests answer it themselves.
    std::function<QString(const QString& suggested)> AskSavePath;
    // Asks the author a question (a save name like a photo's, closing with unsaved changes). By
    // default a message box; tests answer it themselves.
    std::function<QMessageBox::StandardButton(const Question&)> Ask;

    // The choices, the gate's verdict and the piece count behind the window.
    const MakerSession& Session() const { return Maker; }

    // Whether a photo is being decoded or a puzzle written.
    bool IsBusy() const { return Decoding || Writing; }

signals:
    // A photo was decoded, or refused.
    void PhotoOpened();
    // A save or try has finished; `written` false when the puzzle was refused or not written.
    void PuzzleWritten(bool written);
    // The window has closed and no tried puzzle runs any more: the maker may end.
    void Done();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    QWidget* MakePhotoColumn();
    QWidget* MakeSettingsColumn();
    QWidget* MakeButtonRow();

    void ChoosePhoto();
    void ChooseSong();
    void ChooseColor();
    void SetBoardColor(const QColor& color);
    void PhotoDecoded();
    void UpdatePreview();
    // Takes the widgets' choices into the session and shows what it makes of them.
    void ChoicesChanged();
    void ShowProblems();
    void AddOwnScreen();
    void PlayOrStop();
    void SongEnded();
    void RemoveSong();
    // Beside the song: why it may not play as expected; empty says nothing more than the gate.
    void ShowSongProblem(const QString& text);
    void SavePuzzle();
    // The name to save as, once the author has answered for a name like a photo's; empty when
    // the save is cancelled.
    QString ProgramName(const QString& output);
    // Everything a save writes, to tell whether anything changed since the last one.
    QStringList SaveState() const;
    // Asked when the window closes with changes not saved: whether it may close now.
    bool MayCloseUnsaved();
    // The settings and folders as the last window left them, and remembered for the next.
    void RecallSettings();
    void RememberSettings() const;
    void TryPuzzle();
    // Writes the puzzle in the background; Written follows on the user-interface thread.
    void Write(const QString& output, bool trying);
    void Written();
    void StartTry(const QString& puzzle);
    void EndTry(QProcess* process);
    void ShowStatus(const QString& text, bool error);
    void UpdateBusy();
    static QLabel* ProblemLabel(const char* name, int lines);

    MakerSession Maker;
    LoadedPhoto Photo;
    QColor BoardColor;
    bool Decoding = false;
    bool Writing = false;
    // The window was closed while a puzzle was being written: it closes once that is done.
    bool CloseWhenWritten = false;
    bool WriteIsTry = false;
    QString WriteOutput;
    bool WriteIsLean = false;
    QStringList WriteState;
    // What the last save wrote (at the start: nothing).
    QStringList SavedState;
    // The window is closed; the maker ends when the last tried puzzle does.
    bool Closed = false;
    QString PhotoFolder;
    QString SongFolder;
    QString SaveFolder;
    // Said beside the song when the gate has nothing against it: a cut song, a failed play.
    QString SongWarning;
    QTemporaryDir TryFolder;
    int TryCount = 0;
    QList<QProcess*> TryProcesses;
    std::unique_ptr<MediaPlayer> Music;

    QFutureWatcher<LoadedPhoto> PhotoWatch;
    QFutureWatcher<PackResult> WriteWatch;

    PhotoPreview* Preview = nullptr;
    QLabel* PhotoName = nullptr;
    QLabel* PhotoProblem = nullptr;
    QComboBox* ScreenChoice = nullptr;
    QLabel* PieceCount = nullptr;
    QComboBox* TypeChoice = nullptr;
    QComboBox* ArrangeChoice = nullptr;
    QPushButton* ColorButton = nullptr;
    QLineEdit* MessageEdit = nullptr;
    QLabel* MessageProblem = nullptr;
    QLabel* SongName = nullptr;
    QLabel* SongProblem = nullptr;
    QPushButton* RemoveSongButton = nullptr;
    QPushButton* PlayButton = nullptr;
    QLineEdit* TitleEdit = nullptr;
    QLineEdit* PictureCreditEdit = nullptr;
    QLineEdit* PictureLinkEdit = nullptr;
    QLineEdit* MusicCreditEdit = nullptr;
    QLineEdit* MusicLinkEdit = nullptr;
    QLabel* CreditsProblem = nullptr;
    QCheckBox* LeanCheck = nullptr;
    QProgressBar* Busy = nullptr;
    QLabel* Status = nullptr;
    QPushButton* TryButton = nullptr;
    QPushButton* SaveButton = nullptr;
};
