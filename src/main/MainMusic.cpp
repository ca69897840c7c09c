// The song: started once the first board is up, played again each time it ends.
#include "main/Application.h"
#include "main/Main.h"
#include "music/MediaPlayer.h"

// A song that cannot be played is reported; the puzzle stays playable without music.
void TFormMain::StartSong() {
    if (const Result<void> opened = Player->Open(); !opened) {
        ShowException(opened.Error().What.c_str());
        return;
    }
    Player->Play();
}

void TFormMain::MediaPlayerNotify() {
    if (Player->GetMode() == ::MediaPlayer::Mode::Stopped) {
        Player->Play();
    }
}
