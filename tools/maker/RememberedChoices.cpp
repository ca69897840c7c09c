#include "RememberedChoices.h"

#include <QSettings>

namespace {

// The maker's own file; the player keeps none.
QSettings MakerSettings() {
    return QSettings(QStringLiteral("tavrin"), QStringLiteral("tavrin-maker"));
}

} // namespace

RememberedChoices RecallChoices() {
    const QSettings settings = MakerSettings();
    RememberedChoices c;
    c.Type = settings.value("puzzle/type", 0).toInt();
    c.Arrange = settings.value("puzzle/arrange", 0).toInt();
    c.Board = QColor::fromString(settings.value("puzzle/boardColor").toString());
    c.Lean = settings.value("puzzle/lean", false).toBool();
    c.Screen = settings.value("puzzle/screen").toString();
    c.PictureCredit = settings.value("credits/picture").toString();
    c.PictureLink = settings.value("credits/pictureLink").toString();
    c.MusicCredit = settings.value("credits/music").toString();
    c.MusicLink = settings.value("credits/musicLink").toString();
    c.PhotoFolder = settings.value("folders/photo").toString();
    c.SongFolder = settings.value("folders/song").toString();
    c.SaveFolder = settings.value("folders/save").toString();
    return c;
}

void RememberChoices(const RememberedChoices& c) {
    QSettings settings = MakerSettings();
    settings.setValue("puzzle/type", c.Type);
    settings.setValue("puzzle/arrange", c.Arrange);
    settings.setValue("puzzle/boardColor", c.Board.name());
    settings.setValue("puzzle/lean", c.Lean);
    settings.setValue("puzzle/screen", c.Screen);
    settings.setValue("credits/picture", c.PictureCredit);
    settings.setValue("credits/pictureLink", c.PictureLink);
    settings.setValue("credits/music", c.MusicCredit);
    settings.setValue("credits/musicLink", c.MusicLink);
    settings.setValue("folders/photo", c.PhotoFolder);
    settings.setValue("folders/song", c.SongFolder);
    settings.setValue("folders/save", c.SaveFolder);
}
