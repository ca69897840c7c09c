#include "main/FormFixture.h"
#include "music/FluidLibrary.h"
#include "music/MediaPlayer.h"
#include "music/MidiSong.h"
#include "music/SongSynth.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cmath>

namespace {

const std::string DemoSong = TAVRIN_SOURCE_DIR "/resources/demo/silent-night.mid";

// A standard MIDI file of one track: a chord held for `quarters` quarter notes at 120 bpm.
Bytes ShortSong(int quarters) {
    const int ticks = 480 * quarters;
    Bytes track = {0x00, 0xC0, 0x00};
    for (const std::uint8_t note : {60, 64, 67}) {
        track.insert(track.end(), {0x00, 0x90, note, 100});
    }
    track.insert(track.end(), {static_cast<std::uint8_t>(0x80 | ((ticks >> 7) & 0x7F)),
                               static_cast<std::uint8_t>(ticks & 0x7F), 0x80, 60, 0});
    track.insert(track.end(), {0x00, 0x80, 64, 0, 0x00, 0x80, 67, 0, 0x00, 0xFF, 0x2F, 0x00});
    Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8) {
        file.push_back(static_cast<std::uint8_t>(track.size() >> shift));
    }
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

double Loudness(const std::vector<float>& samples) {
    double sum = 0;
    for (const float s : samples) {
        sum += static_cast<double>(s) * s;
    }
    return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

// Hears the song at `path`: plays it for up to `seconds` into memory (stereo, 44.1 kHz), driven
// by the test rather than by a sound device. Empty when it cannot be played.
std::vector<float> Rendered(const std::string& path, double seconds) {
    const Result<Bytes> playable = ReadPlayableSong(path);
    Result<std::unique_ptr<SongSynth>> song = SongSynth::Open();
    if (!playable || !song) {
        return {};
    }
    const SongSynth& synth = **song;
    Fluid().fluid_settings_setstr(synth.Settings(), "player.timing-source", "sample");
    fluid_player_t* player = Fluid().new_fluid_player(synth.Synth());
    if (player == nullptr) {
        return {};
    }
    std::vector<float> samples;
    if (Fluid().fluid_player_add_mem(player, playable->data(), playable->size()) == FLUID_OK &&
        Fluid().fluid_player_play(player) == FLUID_OK) {
        constexpr int Block = 1024;
        std::vector<float> left(Block), right(Block);
        for (int b = 0; b < static_cast<int>(seconds * 44100 / Block) &&
                        Fluid().fluid_player_get_status(player) == FLUID_PLAYER_PLAYING;
             ++b) {
            Fluid().fluid_synth_write_float(synth.Synth(), Block, left.data(), 0, 1, right.data(),
                                            0, 1);
            for (int i = 0; i < Block; ++i) {
                samples.insert(samples.end(), {left[i], right[i]});
            }
        }
    }
    Fluid().delete_fluid_player(player);
    return samples;
}

class MusicTest : public ShownFormTest {
protected:
    std::string SongFile(const Bytes& song) {
        WriteBytes(Work.File("song.mid"), song);
        return Work.File("song.mid");
    }

    void OpenIntoFile(MediaPlayer& player, const std::string& song) {
        player.FileName = QString::fromStdString(song);
        player.AudioDriver = QStringLiteral("file");
        player.AudioFile = QString::fromStdString(Work.File("audio.raw"));
        ASSERT_TRUE(player.Open().Ok());
    }
};

} // namespace

TEST(SongSynth, TheDemoSongIsNotSilent) {
    const std::vector<float> samples = Rendered(DemoSong, 4.0);
    ASSERT_GT(samples.size(), 44100u * 2 * 3);
    EXPECT_GT(Loudness(samples), 0.01);
}

TEST(SongSynth, ADamagedSongIsRefusedNamingTheFile) {
    ScratchFolder folder;
    WriteBytes(folder.File("bad.mid"), PayloadOf(300, MidiStart));
    MediaPlayer player;
    player.FileName = QString::fromStdString(folder.File("bad.mid"));
    const Result<void> opened = player.Open();
    ASSERT_FALSE(opened.Ok());
    EXPECT_EQ(opened.Error().What, "Cannot open the song " + folder.File("bad.mid") + ".");
    EXPECT_EQ(player.GetMode(), MediaPlayer::Mode::NotOpen);
}

// The player opens FluidSynth only when a song plays; a system without it, or with a library of
// that name that lacks a function, gets a message naming the library and what went wrong.
TEST(SongSynth, ASynthesizerLibraryThatCannotBeOpenedIsNamedInTheError) {
    const auto errorOpening = [](const std::string& library) {
        const Result<FluidLibrary> opened = OpenFluidLibrary(library);
        return opened ? std::string("opened") : opened.Error().What;
    };
    const std::string absent = "libtavrin-absent-synth.so.9";
    const std::string absentError = errorOpening(absent);
    EXPECT_EQ(absentError.rfind("Cannot load the synthesizer library " + absent + ": ", 0), 0u)
        << absentError;
    EXPECT_NE(absentError.find(absent, absentError.find(": ")), std::string::npos) << absentError;
    EXPECT_EQ(
        errorOpening("libm.so.6"),
        "Cannot load the synthesizer library libm.so.6: it has no function new_fluid_settings");
    ASSERT_TRUE(LoadFluid().Ok());
    EXPECT_NE(Fluid().fluid_player_get_total_ticks, nullptr);
}

TEST_F(MusicTest, ASongThatCannotBePlayedTakesTheErrorPathAndACutOnePlaysWhatItHas) {
    const Bytes demo = ReadBytes(DemoSong);
    const Bytes header(demo.begin(), demo.begin() + 14); // format 1, six tracks
    Bytes garbage = {'M', 'T',  'h',  'd', 0,   0,   0,   6, 0, 0, 0,
                     1,   0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, 200};
    for (int i = 0; i < 200; ++i) {
        garbage.push_back(static_cast<std::uint8_t>((i * 37 + 11) % 128)); // data, no status
    }
    Bytes smpte = ShortSong(4);
    smpte[12] = 0xE7; // 25 frames a second,
    smpte[13] = 40;   // 40 ticks a frame
    Bytes noTracks = header;
    noTracks[10] = noTracks[11] = 0;
    for (const auto& [name, song] : std::vector<std::pair<std::string, Bytes>>{
             {"a header followed by a garbage track", garbage},
             {"SMPTE timing", smpte},
             {"a header that promises tracks", header},
             {"a header without tracks", noTracks}}) {
        Messages.Calls.clear();
        // tavrin-pack refuses these songs, so the packages are made by hand.
        TFormMain form(AssemblePackage(Work, PayloadOf(100, {1}), JpegOf(200, 150), song, {}));
        PlaySongsIntoFile(form, Work.File("audio.raw"));
        ShowForm(form);
        const QString songPath = form.MediaPlayer()->FileName;
        EXPECT_EQ(Texts(), std::vector<QString>{"Cannot open the song " + songPath + "."}) << name;
        EXPECT_EQ(form.MediaPlayer()->GetMode(), MediaPlayer::Mode::NotOpen) << name;
        EXPECT_TRUE(form.Game().Pieces()) << name;
        EXPECT_FALSE(ReadPlayableSong(SongFile(song)).Ok()) << name;
    }

    const Bytes half(demo.begin(), demo.begin() + static_cast<std::ptrdiff_t>(demo.size() / 2));
    Messages.Calls.clear();
    TFormMain form(MakePackage(Work, PayloadOf(100, {1}), JpegOf(200, 150), half));
    PlaySongsIntoFile(form, Work.File("audio.raw"));
    ShowForm(form);
    EXPECT_TRUE(Messages.Calls.empty());
    EXPECT_EQ(form.MediaPlayer()->GetMode(), MediaPlayer::Mode::Playing);
    EXPECT_GT(Loudness(Rendered(SongFile(half), 4.0)), 0.01);
}

// Cutting the rest before the end of a track made a one-second song loop ten times a second.
TEST(PlayableSong, KeepsTheRestBeforeTheEndOfATrack) {
    const Bytes knockThenRest = {'M',  'T', 'h', 'd',  0,    0,    0,    6,   0,
                                 0,    0,   1,   0x01, 0xE0, 'M',  'T',  'r', 'k',
                                 0,    0,   0,   13,   0x00, 0x99, 76,   127, 0x60,
                                 0x89, 76,  0,   0x86, 0x60, 0xFF, 0x2F, 0x00};
    const std::optional<Bytes> playable = PlayableMidiSong(knockThenRest);
    ASSERT_TRUE(playable);
    EXPECT_EQ(*playable, knockThenRest);
}

// Events left out keep their time; summed, the times of two of them no longer fit the one
// quantity of four bytes the file format allows.
TEST(PlayableSong, TheTimeOfEventsLeftOutNeverOverflowsAQuantity) {
    Bytes track;
    for (int i = 0; i < 2; ++i) {
        track.insert(track.end(), {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x51, 0x01, 0x00}); // bad tempo
    }
    track.insert(track.end(), {0x00, 0x90, 60, 100, 0x60, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00});
    Bytes file = {
        'M', 'T',  'h',  'd', 0,   0,   0,   6, 0, 0, 0,
        1,   0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, static_cast<std::uint8_t>(track.size())};
    file.insert(file.end(), track.begin(), track.end());
    const std::optional<Bytes> playable = PlayableMidiSong(file);
    ASSERT_TRUE(playable);
    // Read back, the song is kept whole: every quantity in it is one the format allows.
    EXPECT_EQ(PlayableMidiSong(*playable), playable);
    const Bytes note = {0x90, 60, 100};
    EXPECT_NE(std::search(playable->begin(), playable->end(), note.begin(), note.end()),
              playable->end());
}

TEST_F(MusicTest, TheEndOfASongIsReportedPromptlyAndPlayStartsItAgain) {
    MediaPlayer player;
    OpenIntoFile(player, SongFile(ShortSong(2))); // one second
    QSignalSpy ended(&player, &MediaPlayer::Notify);
    QElapsedTimer clock;
    clock.start();
    player.Play();
    EXPECT_EQ(player.GetMode(), MediaPlayer::Mode::Playing);
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_LT(clock.elapsed(), 2500); // a one-second song, well before its end plus two seconds
    EXPECT_EQ(player.GetMode(), MediaPlayer::Mode::Stopped);
    player.Play();
    EXPECT_EQ(player.GetMode(), MediaPlayer::Mode::Playing);
    QTest::qWait(150);
    // Started from its beginning, the one-second song still plays; left at its end, it would
    // have been reported ended at the first look.
    EXPECT_EQ(player.GetMode(), MediaPlayer::Mode::Playing);
    EXPECT_EQ(ended.size(), 1);
}

TEST_F(MusicTest, TheMainWindowLoopsTheSongThroughItsEndNotices) {
    OpenIntoFile(*Form.MediaPlayer(), SongFile(ShortSong(1)));
    QSignalSpy ended(Form.MediaPlayer(), &MediaPlayer::Notify);
    Form.MediaPlayer()->Play();
    ASSERT_TRUE(ended.wait(4000));
    EXPECT_EQ(Form.MediaPlayer()->GetMode(), MediaPlayer::Mode::Playing); // played again
    ASSERT_TRUE(ended.wait(4000));
    EXPECT_EQ(Form.MediaPlayer()->GetMode(), MediaPlayer::Mode::Playing);
}

TEST_F(MusicTest, ANoticeWhilePlayingAndANewGameLeaveTheSongAlone) {
    OpenIntoFile(*Form.MediaPlayer(), DemoSong);
    Form.MediaPlayer()->Play();
    ASSERT_TRUE(Form.StartGame(Jpeg(300, 200)));
    QSignalSpy ended(Form.MediaPlayer(), &MediaPlayer::Notify);
    Form.MediaPlayerNotify();
    Form.NewGameMenuClick();
    EXPECT_EQ(Form.MediaPlayer()->GetMode(), MediaPlayer::Mode::Playing);
    EXPECT_TRUE(ended.empty());
}

TEST_F(MusicTest, APackageWithoutASongOpensNothing) {
    TFormMain form(MakePackage(Work, PayloadOf(100, {1}), JpegOf(200, 150), {}));
    ShowForm(form);
    EXPECT_EQ(form.MediaPlayer()->GetMode(), MediaPlayer::Mode::NotOpen);
    EXPECT_TRUE(Messages.Calls.empty());
}

TEST_F(MusicTest, ASongThatCannotBeOpenedIsReportedAndThePuzzleStaysPlayable) {
    TFormMain form(MakePackage(Work, PayloadOf(100, {1}), JpegOf(200, 150), ReadBytes(DemoSong)));
    form.MediaPlayer()->AudioDriver = QStringLiteral("no-such-driver");
    ShowForm(form);
    ASSERT_EQ(Messages.Calls.size(), 1u);
    EXPECT_EQ(Messages.Calls[0].Icon, MessageIcon::Stop);
    EXPECT_FALSE(Messages.Calls[0].Text.isEmpty());
    EXPECT_EQ(form.MediaPlayer()->GetMode(), MediaPlayer::Mode::NotOpen);
    ASSERT_TRUE(form.Game().Pieces());
    EXPECT_FALSE(form.Game().GameOver());
}
