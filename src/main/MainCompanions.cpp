// The menu commands that open the companion windows.
#include "desktop/BusyCursor.h"
#include "main/Main.h"
#include "windows/About.h"
#include "windows/DialogOwner.h"
#include "windows/Orgwnd.h"
#include "windows/Progress.h"

void TFormMain::ShowThumbnailMenuClick() {
    if (Thumbnail) {
        delete Thumbnail.data();
        ThumbnailAction->setChecked(false);
        Session.KeepThumbnailPicture(false);
        return;
    }
    Thumbnail = new TOrgWindow(this, [this] {
        Thumbnail = nullptr;
        ThumbnailAction->setChecked(false);
        Session.KeepThumbnailPicture(false);
    });
    Session.KeepThumbnailPicture(true);
    {
        const BusyCursor busy;
        Thumbnail->SetPicture(Session.ThumbnailPicture());
    }
    Thumbnail->show();
    BringToForeground();
    ThumbnailAction->setChecked(true);
}

// The keyboard focus comes here; the windows that stay on top stay above this one even where
// no window manager keeps them there.
void TFormMain::BringToForeground() {
    raise();
    activateWindow();
    // Every loading window still open, oldest first, then the thumbnail.
    for (TFormProgress* loading : findChildren<TFormProgress*>(Qt::FindDirectChildrenOnly)) {
        if (loading->isVisible()) {
            loading->raise();
        }
    }
    if (Thumbnail && Thumbnail->isVisible()) {
        Thumbnail->raise();
    }
}

void TFormMain::AboutMenuClick() {
    auto* about = new TFormAbout(this);
    KeepAboveStayOnTopWindows(*about);
    about->exec();
    delete about;
}
