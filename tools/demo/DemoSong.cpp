#include "DemoSong.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr int TicksPerQuarter = 480;
constexpr int Eighth = TicksPerQuarter / 2;
constexpr int BarLength = 6 * Eighth; // 6/8 time
constexpr int Verses = 2;

struct Note {
    int Pitch; // MIDI note number
    int Eighths;
};

// Middle C is 60.
enum : int {
    C4 = 60,
    D4 = 62,
    E4 = 64,
    F4 = 65,
    G4 = 67,
    A4 = 69,
    B4 = 71,
    C5 = 72,
    D5 = 74,
    E5 = 76,
    F5 = 77
};

const std::vector<Note> Melody = {
    {G4, 3}, {A4, 1}, {G4, 2}, {E4, 6}, {G4, 3}, {A4, 1},  {G4, 2}, {E4, 6}, {D5, 4}, {D5, 2},
    {B4, 6}, {C5, 4}, {C5, 2}, {G4, 6}, {A4, 4}, {A4, 2},  {C5, 3}, {B4, 1}, {A4, 2}, {G4, 3},
    {A4, 1}, {G4, 2}, {E4, 6}, {A4, 4}, {A4, 2}, {C5, 3},  {B4, 1}, {A4, 2}, {G4, 3}, {A4, 1},
    {G4, 2}, {E4, 6}, {D5, 4}, {D5, 2}, {F5, 3}, {D5, 1},  {B4, 2}, {C5, 6}, {E5, 6}, {C5, 3},
    {G4, 1}, {E4, 2}, {G4, 3}, {F4, 1}, {D4, 2}, {C4, 12},
};

// One chord a bar: root (octave 3) and the chord's other tones as intervals.
struct Chord {
    int Root;
    std::array<int, 3> Intervals;
};
const Chord CMajor{48, {0, 4, 7}};
const Chord FMajor{53, {0, 4, 7}};
const Chord G7{43, {4, 7, 10}};
const std::vector<Chord> Chords = {
    CMajor, CMajor, CMajor, CMajor, G7, G7, CMajor, CMajor, FMajor, FMajor, CMajor, CMajor,
    FMajor, FMajor, CMajor, CMajor, G7, G7, CMajor, CMajor, CMajor, G7,     CMajor, CMajor,
};

struct Event {
    int Tick;
    std::vector<std::uint8_t> Bytes;
};

class Track {
public:
    void Add(int tick, std::vector<std::uint8_t> bytes) {
        Events.push_back({tick, std::move(bytes)});
    }

    void AddNote(int channel, int tick, int length, int pitch, int velocity) {
        Add(tick, {static_cast<std::uint8_t>(0x90 | channel), static_cast<std::uint8_t>(pitch),
                   static_cast<std::uint8_t>(velocity)});
        Add(tick + length - 10,
            {static_cast<std::uint8_t>(0x80 | channel), static_cast<std::uint8_t>(pitch), 0});
    }

    void AddProgram(int channel, int program) {
        Add(0, {static_cast<std::uint8_t>(0xC0 | channel), static_cast<std::uint8_t>(program)});
    }

    void AddMeta(int tick, std::uint8_t type, std::vector<std::uint8_t> data) {
        std::vector<std::uint8_t> bytes{0xFF, type, static_cast<std::uint8_t>(data.size())};
        bytes.insert(bytes.end(), data.begin(), data.end());
        Add(tick, std::move(bytes));
    }

    void AddName(const std::string& name) {
        AddMeta(0, 0x03, std::vector<std::uint8_t>(name.begin(), name.end()));
    }

    // The track chunk, events in time order (note-offs before note-ons at the same tick).
    std::vector<std::uint8_t> Chunk() {
        std::stable_sort(Events.begin(), Events.end(),
                         [](const Event& a, const Event& b) { return a.Tick < b.Tick; });
        std::vector<std::uint8_t> data;
        int last = 0;
        for (const Event& e : Events) {
            AppendVariableLength(data, e.Tick - last);
            data.insert(data.end(), e.Bytes.begin(), e.Bytes.end());
            last = e.Tick;
        }
        AppendVariableLength(data, 0);
        data.insert(data.end(), {0xFF, 0x2F, 0x00});
        std::vector<std::uint8_t> chunk{'M', 'T', 'r', 'k'};
        AppendBigEndian(chunk, data.size(), 4);
        chunk.insert(chunk.end(), data.begin(), data.end());
        return chunk;
    }

    static void AppendBigEndian(std::vector<std::uint8_t>& out, std::size_t value, int bytes) {
        for (int i = bytes - 1; i >= 0; --i) {
            out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }

private:
    static void AppendVariableLength(std::vector<std::uint8_t>& out, int value) {
        std::uint8_t groups[4];
        int count = 0;
        do {
            groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
            value >>= 7;
        } while (value > 0);
        while (count > 1) {
            out.push_back(groups[--count] | 0x80);
        }
        out.push_back(groups[0]);
    }

    std::vector<Event> Events;
};

Track ConductorTrack() {
    Track t;
    t.AddName("Silent Night");
    t.AddMeta(0, 0x51, {0x09, 0x27, 0xC0}); // 600000 us a quarter: 100 quarters a minute
    t.AddMeta(0, 0x58, {6, 3, 24, 8});      // 6/8
    return t;
}

Track MelodyTrack(int channel, int program, int transpose, int fromVerse, int velocity) {
    Track t;
    t.AddName("Melody");
    t.AddProgram(channel, program);
    for (int verse = fromVerse; verse < Verses; ++verse) {
        int tick = verse * static_cast<int>(Chords.size()) * BarLength;
        for (const Note& n : Melody) {
            t.AddNote(channel, tick, n.Eighths * Eighth, n.Pitch + transpose, velocity);
            tick += n.Eighths * Eighth;
        }
    }
    return t;
}

template <typename PerBar>
Track ChordTrack(const std::string& name, int channel, int program, PerBar perBar) {
    Track t;
    t.AddName(name);
    t.AddProgram(channel, program);
    for (int verse = 0; verse < Verses; ++verse) {
        for (std::size_t bar = 0; bar < Chords.size(); ++bar) {
            const int tick =
                (verse * static_cast<int>(Chords.size()) + static_cast<int>(bar)) * BarLength;
            perBar(t, tick, Chords[bar], verse);
        }
    }
    return t;
}

Track PadTrack() {
    return ChordTrack("Strings", 1, 48, [](Track& t, int tick, const Chord& c, int verse) {
        for (int interval : c.Intervals) {
            t.AddNote(1, tick, BarLength, c.Root + 12 + interval, verse == 0 ? 42 : 52);
        }
    });
}

Track BassTrack() {
    return ChordTrack("Bass", 2, 32, [](Track& t, int tick, const Chord& c, int) {
        const int root = c.Root - 12 < 36 ? c.Root : c.Root - 12;
        t.AddNote(2, tick, 3 * Eighth, root, 72);
        t.AddNote(2, tick + 3 * Eighth, 3 * Eighth, root + 7, 62);
    });
}

Track HarpTrack() {
    return ChordTrack("Harp", 4, 46, [](Track& t, int tick, const Chord& c, int) {
        const std::array<int, 6> pattern = {0, 1, 2, 3, 2, 1};
        for (int k = 0; k < 6; ++k) {
            const int step = pattern[k];
            const int pitch = step < 3 ? c.Root + c.Intervals[step] : c.Root + 12 + c.Intervals[0];
            t.AddNote(4, tick + k * Eighth, Eighth, pitch + 12, k == 0 ? 58 : 46);
        }
    });
}

} // namespace

std::vector<std::uint8_t> ComposeDemoSong() {
    std::vector<Track> tracks;
    tracks.push_back(ConductorTrack());
    tracks.push_back(MelodyTrack(0, 73, 0, 0, 92)); // flute, both verses
    tracks.push_back(MelodyTrack(3, 9, 12, 1, 64)); // glockenspiel an octave up, second verse
    tracks.push_back(PadTrack());
    tracks.push_back(BassTrack());
    tracks.push_back(HarpTrack());

    std::vector<std::uint8_t> file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    Track::AppendBigEndian(file, tracks.size(), 2);
    Track::AppendBigEndian(file, TicksPerQuarter, 2);
    for (Track& t : tracks) {
        const auto chunk = t.Chunk();
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}
