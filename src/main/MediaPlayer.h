#pragma once

#include <QObject>
#include <QString>

// The invisible music component of the main window. It knows the file it is to play; the
// package reader sets it to the bare name "tavrin.mid", or to the song's full path when the
// package carries a song.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    QString FileName;
};
