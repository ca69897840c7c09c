// The song of the maker's window: removed, or said to be unplayable beside its name.
#include "MakerForm.h"
#include "music/MediaPlayer.h"

#include <QLabel>

void MakerForm::RemoveSong() {
    Music->Close();
    SongEnded();
    SongPath.clear();
    SongName->setText(tr("No song: the puzzle plays in silence"));
    SongName->setToolTip(QString());
    ShowSongProblem(QString());
    ShowStatus(tr("The song is removed: the puzzle plays in silence."), false);
    UpdateBusy();
}

void MakerForm::ShowSongProblem(const QString& text) {
    SongTrouble->setText(text);
    SongTrouble->setVisible(!text.isEmpty());
}
