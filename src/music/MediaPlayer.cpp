#include "music/MediaPlayer.h"

#include "music/FluidLibrary.h"
#include "music/SoundServer.h"

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

// The player exists before the audio device starts pulling samples, and the device is gone
// before the player goes: FluidSynth's audio thread drives the player, and neither may change
// under it.
Result<void> MediaPlayer::Open() {
    Close();
    const Result<std::vector<std::uint8_t>> playable = ReadPlayableSong(FileName.toStdString());
    if (!playable) {
        return playable.Error();
    }
    Result<std::unique_ptr<SongSynth>> opened = SongSynth::Open();
    if (!opened) {
        return opened.Error();
    }
    std::unique_ptr<SongSynth> song = std::move(*opened);
    if (!AudioDriver.isEmpty()) {
        Fluid().fluid_settings_setstr(song->Settings(), "audio.driver",
                                      AudioDriver.toUtf8().constData());
        Fluid().fluid_settings_setstr(song->Settings(), "audio.file.name",
                                      AudioFile.toUtf8().constData());
    } else if (const char* driver = SoundServerDriver()) {
        Fluid().fluid_settings_setstr(song->Settings(), "audio.driver", driver);
    }
    fluid_player_t* player = Fluid().new_fluid_player(song->Synth());
    if (player == nullptr ||
        Fluid().fluid_player_add_mem(player, playable->data(), playable->size()) != FLUID_OK) {
        if (player != nullptr) {
            Fluid().delete_fluid_player(player);
        }
        return Failure{LastFluidError("Cannot open the song " + FileName.toStdString() + ".")};
    }
    Driver = Fluid().new_fluid_audio_driver(song->Settings(), song->Synth());
    if (Driver == nullptr) {
        Fluid().delete_fluid_player(player);
        return Failure{LastFluidError("Cannot open a sound device.")};
    }
    Player = player;
    Song = std::move(song);
    AtEnd = false;
    return {};
}

// Plays from the current position; a song that has ended starts again from its beginning.
void MediaPlayer::Play() {
    if (Player == nullptr || GetMode() == Mode::Playing) {
        return;
    }
    if (AtEnd) {
        Fluid().fluid_player_seek(Player, 0);
        AtEnd = false;
    }
    if (Fluid().fluid_player_play(Player) == FLUID_OK) {
        Watch.start();
    }
}

MediaPlayer::Mode MediaPlayer::GetMode() const {
    if (!Song) {
        return Mode::NotOpen;
    }
    const bool playing = Player != nullptr && !AtEnd &&
                         Fluid().fluid_player_get_status(Player) == FLUID_PLAYER_PLAYING;
    return playing ? Mode::Playing : Mode::Stopped;
}

// The end is the last event's tick: FluidSynth itself reports it only after a grace period.
void MediaPlayer::WatchPosition() {
    if (Player == nullptr) {
        Watch.stop();
        return;
    }
    const int total = Fluid().fluid_player_get_total_ticks(Player);
    const bool finished = Fluid().fluid_player_get_status(Player) != FLUID_PLAYER_PLAYING ||
                          (total > 0 && Fluid().fluid_player_get_current_tick(Player) >= total);
    if (finished) {
        Fluid().fluid_player_stop(Player);
        AtEnd = true;
        Watch.stop();
        emit Notify();
    }
}

void MediaPlayer::Close() {
    Watch.stop();
    if (Driver != nullptr) {
        Fluid().delete_fluid_audio_driver(Driver);
        Driver = nullptr;
    }
    if (Player != nullptr) {
        Fluid().fluid_player_stop(Player);
        Fluid().delete_fluid_player(Player);
        Player = nullptr;
    }
    Song.reset();
    AtEnd = false;
}
