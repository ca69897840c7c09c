// The questions the maker's window asks before it goes on: a save name like a photo's, and
// closing with changes not saved.
#include "FileChoices.h"
#include "MakerForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>

QString MakerForm::ProgramName(const QString& output) {
    const QString bare = WithoutPictureExtension(output);
    if (output.isEmpty() || bare.isEmpty()) {
        return output;
    }
    Question question;
    question.Title = tr("Save Puzzle");
    question.Text = tr("“%1” looks like a photo's name.").arg(QFileInfo(output).fileName());
    question.Details = tr("The puzzle is a program, not a picture: named like a photo, it would "
                          "be opened by a picture viewer, which cannot show it.");
    question.Answers = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    question.Default = QMessageBox::Yes;
    question.Names = {{QMessageBox::Yes, tr("Save as “%1”").arg(QFileInfo(bare).fileName())},
                      {QMessageBox::No, tr("Keep “%1”").arg(QFileInfo(output).fileName())}};
    switch (Ask(question)) {
    case QMessageBox::Yes:
        return bare;
    case QMessageBox::No:
        return output;
    default:
        return {};
    }
}

QStringList MakerForm::SaveState() const {
    return {Photo.Path,
            QString::fromStdString(Maker.Choices.Song),
            TypeChoice->currentData().toString(),
            ArrangeChoice->currentData().toString(),
            BoardColor.name(),
            MessageEdit->text(),
            TitleEdit->text(),
            PictureCreditEdit->text(),
            PictureLinkEdit->text(),
            MusicCreditEdit->text(),
            MusicLinkEdit->text(),
            LeanCheck->isChecked() ? "lean" : "portable"};
}

// Without a photo there is nothing to save, and the settings are remembered anyway. A save
// asked for here closes the window once the puzzle is written.
bool MakerForm::MayCloseUnsaved() {
    if (Photo.Path.isEmpty() || SaveState() == SavedState) {
        return true;
    }
    const bool trying = std::any_of(TryProcesses.begin(), TryProcesses.end(),
                                    [](QProcess* p) { return p->state() != QProcess::NotRunning; });
    Question question;
    question.Title = tr("Close the Puzzle Maker");
    question.Text = tr("Save the puzzle before closing?");
    question.Details = tr("The changes since it was last saved are lost otherwise.");
    if (trying) {
        question.Details += ' ' + tr("The puzzle you are trying stays open until you close it.");
    }
    question.Answers = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
    question.Default = QMessageBox::Save;
    switch (Ask(question)) {
    case QMessageBox::Discard:
        return true;
    case QMessageBox::Save:
        CloseWhenWritten = true;
        SavePuzzle();
        CloseWhenWritten = Writing;
        return false;
    default:
        return false;
    }
}
