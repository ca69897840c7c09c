#include "main/MediaPlayer.h"

#include <fluidsynth.h>

namespace {

constexpr int WatchIntervalMs = 20;

} // namespace

MediaPlayer::MediaPlayer(QObject* parent)
    : QObject(parent) {
    Watch.setInterval(WatchIntervalMs);
    connect(&Watch, &QTimer::timeout, this, &MediaPlayer::WatchPosition);
}

MediaPlayer::~MediaPlayer() {
    Close();
}

void MediaPlayer::Open() {
    Close();
    auto song = std::make_unique<SongSynth>(false);
    if (!AudioDriver.isEmpty()) {
        fluid_settings_setstr(song->Settings(), "audio.driver", AudioDriver.toUtf8().constData());
        fluid_settings_setstr(song->Settings(), "audio.file.name", AudioFile.toUtf8().constData());
    }
    // The file must be a song before a sound device is taken.
    fluid_player_t* probe = new_fluid_player(song->Synth());
    const bool readable =
        probe != nullptr && fluid_player_add(probe, FileName.toUtf8().constData()) == FLUID_OK;
    if (probe != nullptr) {
        delete_fluid_player(probe);
    }
    if (!readable || !fluid_is_midifile(FileName.toUtf8().constData())) {
        throw SongError(LastFluidError("Cannot open the song " + FileName.toStdString() + "."));
    }
    Driver = new_fluid_audio_driver(song->Settings(), song->Synth());
    if (Driver == nullptr) {
        throw SongError(LastFluidError("Cannot open a sound device."));
    }
    Song = std::move(song);
    AtEnd = false;
}

void MediaPlayer::Play() {
    if (!Song) {
        return;
    }
    if (Player != nullptr && !AtEnd && fluid_player_get_status(Player) == FLUID_PLAYER_PLAYING) {
        return;
    }
    // A new player starts at the beginning: the rewind of a song that has ended.
    StopPlayer();
    Player = new_fluid_player(Song->Synth());
    if (Player == nullptr || fluid_player_add(Player, FileName.toUtf8().constData()) != FLUID_OK ||
        fluid_player_play(Player) != FLUID_OK) {
        StopPlayer();
        return;
    }
    AtEnd = false;
    Watch.start();
}

MediaPlayer::Mode MediaPlayer::GetMode() const {
    if (!Song) {
        return Mode::NotOpen;
    }
    const bool playing =
        Player != nullptr && !AtEnd && fluid_player_get_status(Player) == FLUID_PLAYER_PLAYING;
    return playing ? Mode::Playing : Mode::Stopped;
}

int MediaPlayer::Position() const {
    return Player != nullptr ? fluid_player_get_current_tick(Player) : 0;
}

void MediaPlayer::WatchPosition() {
    if (Player == nullptr) {
        Watch.stop();
        return;
    }
    const int total = fluid_player_get_total_ticks(Player);
    const bool finished = fluid_player_get_status(Player) != FLUID_PLAYER_PLAYING ||
                          (total > 0 && fluid_player_get_current_tick(Player) >= total);
    if (finished) {
        AtEnd = true;
        Watch.stop();
        emit Notify();
    }
}

void MediaPlayer::StopPlayer() {
    Watch.stop();
    if (Player != nullptr) {
        fluid_player_stop(Player);
        delete_fluid_player(Player);
        Player = nullptr;
    }
}

void MediaPlayer::Close() {
    StopPlayer();
    if (Driver != nullptr) {
        delete_fluid_audio_driver(Driver);
        Driver = nullptr;
    }
    Song.reset();
    AtEnd = false;
}
