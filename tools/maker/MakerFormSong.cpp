// The song of the maker's window: removed, or said to be unplayable beside its name.
#include "MakerForm.h"
#include "music/MediaPlayer.h"

#include <QLabel>

void MakerForm::RemoveSong() {
    Music->Close();
    SongEnded();
    Maker.ChooseSong({});
    SongName->setText(tr("No song: the puzzle plays in silence"));
    SongName->setToolTip(QString());
    SongWarning.clear();
    ShowStatus(tr("The song is removed: the puzzle plays in silence."), false);
    ChoicesChanged();
}

void MakerForm::ShowSongProblem(const QString& text) {
    SongWarning = text;
    ShowProblems();
}
