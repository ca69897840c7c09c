#include "FileChoices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace {

QString StartFolder(const QString& remembered, QStandardPaths::StandardLocation kind) {
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) {
        return remembered;
    }
    const QString desktops = QStandardPaths::writableLocation(kind);
    return !desktops.isEmpty() && QFileInfo(desktops).isDir() ? desktops : QDir::homePath();
}

const QStringList& PictureExtensions() {
    static const QStringList extensions = {"jpg",  "jpeg", "jpe",  "jfif", "png",  "bmp",
                                           "gif",  "webp", "heic", "heif", "avif", "tif",
                                           "tiff", "svg",  "ico",  "xpm",  "jxl"};
    return extensions;
}

// The dialogs match names case by case: phones and cameras write IMG_0001.JPG and .HEIC.
QString Patterns(const QStringList& extensions) {
    QStringList patterns;
    for (const QString& extension : extensions) {
        patterns << "*." + extension << "*." + extension.toUpper();
    }
    return patterns.join(' ');
}

} // namespace

QString PhotoStartFolder(const QString& remembered) {
    return StartFolder(remembered, QStandardPaths::PicturesLocation);
}

QString SongStartFolder(const QString& remembered) {
    return StartFolder(remembered, QStandardPaths::MusicLocation);
}

QString PhotoFilter() {
    return QCoreApplication::translate("FileChoices", "Photos (%1);;All files (*)")
        .arg(Patterns({"jpg", "jpeg", "bmp", "png", "gif", "webp", "tif", "tiff", "heic", "heif"}));
}

QString SongFilter() {
    return QCoreApplication::translate("FileChoices", "MIDI songs (%1);;All files (*)")
        .arg(Patterns({"mid", "midi", "kar", "smf"}));
}

QString WithoutPictureExtension(const QString& path) {
    const QFileInfo file(path);
    if (!PictureExtensions().contains(file.suffix().toLower()) ||
        file.completeBaseName().isEmpty()) {
        return {};
    }
    return file.dir().filePath(file.completeBaseName());
}
