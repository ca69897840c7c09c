// The maker's window as the last one left it: its settings, credits and folders.
#include "MakerForm.h"
#include "RememberedChoices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

void SelectData(QComboBox* choice, int value) {
    const int index = choice->findData(value);
    if (value != 0 && index >= 0) {
        choice->setCurrentIndex(index);
    }
}

} // namespace

void MakerForm::RecallSettings() {
    const RememberedChoices c = RecallChoices();
    SelectData(TypeChoice, c.Type);
    SelectData(ArrangeChoice, c.Arrange);
    if (c.Board.isValid()) {
        SetBoardColor(c.Board);
    }
    LeanCheck->setChecked(c.Lean);
    // The author's own screen comes first; the others are remembered by their names.
    const int screen = c.Screen == "own" ? 0 : ScreenChoice->findText(c.Screen);
    if (!c.Screen.isEmpty() && screen >= 0) {
        ScreenChoice->setCurrentIndex(screen);
    }
    PictureCreditEdit->setText(c.PictureCredit);
    PictureLinkEdit->setText(c.PictureLink);
    MusicCreditEdit->setText(c.MusicCredit);
    MusicLinkEdit->setText(c.MusicLink);
    PhotoFolder = c.PhotoFolder;
    SongFolder = c.SongFolder;
    SaveFolder = c.SaveFolder;
}

void MakerForm::RememberSettings() const {
    RememberedChoices c;
    c.Type = TypeChoice->currentData().toInt();
    c.Arrange = ArrangeChoice->currentData().toInt();
    c.Board = BoardColor;
    c.Lean = LeanCheck->isChecked();
    c.Screen =
        ScreenChoice->currentIndex() == 0 ? QStringLiteral("own") : ScreenChoice->currentText();
    c.PictureCredit = PictureCreditEdit->text();
    c.PictureLink = PictureLinkEdit->text();
    c.MusicCredit = MusicCreditEdit->text();
    c.MusicLink = MusicLinkEdit->text();
    c.PhotoFolder = PhotoFolder;
    c.SongFolder = SongFolder;
    c.SaveFolder = SaveFolder;
    RememberChoices(c);
}
