#pragma once

#include "music/SongSynth.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

struct _fluid_audio_driver_t;
struct _fluid_player_t;

// The invisible music component of the main window: it plays a standard MIDI file through
// FluidSynth and reports, on the user-interface thread, when a play request has ended.
// FluidSynth notices the end of a song only about two seconds late, so the component watches
// the position itself and reports the end as soon as the last event has played.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    enum class Mode { NotOpen, Playing, Stopped };

    explicit MediaPlayer(QObject* parent = nullptr);
    ~MediaPlayer() override;

    // The file to open; the package reader sets it.
    QString FileName;
    // The audio driver, or empty for FluidSynth's default; "file" writes to AudioFile instead
    // of a sound device (tests use it).
    QString AudioDriver;
    QString AudioFile;

    // Opens the synthesizer, its sound font and an audio device for FileName; the failure, in
    // FluidSynth's words, when any of them fails.
    [[nodiscard]] Result<void> Open();
    // Plays from the current position; at the end of the song from its start. Errors stop the
    // music without being reported.
    void Play();
    Mode GetMode() const;
    void Close();

signals:
    // A play request has ended.
    void Notify();

private:
    void WatchPosition();

    std::unique_ptr<SongSynth> Song;
    _fluid_audio_driver_t* Driver = nullptr;
    _fluid_player_t* Player = nullptr;
    bool AtEnd = false;
    QTimer Watch;
};
