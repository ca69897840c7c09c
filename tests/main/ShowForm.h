#pragma once

#include "main/Main.h"
#include "music/MediaPlayer.h"

#include <QCoreApplication>

// Shows the main window and lets its first-show road run to its end.
inline void ShowForm(TFormMain& form) {
    form.show();
    QCoreApplication::processEvents();
}

// Songs play into a file instead of a sound device, which test machines lack.
inline void PlaySongsIntoFile(TFormMain& form, const std::string& file) {
    form.MediaPlayer()->AudioDriver = QStringLiteral("file");
    form.MediaPlayer()->AudioFile = QString::fromStdString(file);
}
