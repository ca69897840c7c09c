#pragma once

#include <QColor>
#include <QString>

// What the maker remembers from one start to the next, in the desktop's usual place for settings
// (~/.config/tavrin/tavrin-maker.conf, or under $XDG_CONFIG_HOME): the puzzle's settings, the
// credits and the folders last used. The photo, song, title and message belong to one puzzle and
// are not remembered.
struct RememberedChoices {
    int Type = 0;    // as --type numbers them; 0 when none is remembered
    int Arrange = 0; // as --arrange numbers them; 0 when none is remembered
    QColor Board;    // invalid when none is remembered
    bool Lean = false;
    // "own" for the author's screen, "WIDTHxHEIGHT" for another; empty when none is remembered.
    QString Screen;
    QString PictureCredit;
    QString PictureLink;
    QString MusicCredit;
    QString MusicLink;
    QString PhotoFolder;
    QString SongFolder;
    QString SaveFolder;
};

RememberedChoices RecallChoices();
void RememberChoices(const RememberedChoices& choices);
