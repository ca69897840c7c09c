// The menu commands that open the companion windows.
#include "desktop/BusyCursor.h"
#include "main/Main.h"
#include "windows/About.h"
#include "windows/DialogOwner.h"
#include "windows/Orgwnd.h"
#include "windows/Progress.h"

void TFormMain::ShowThumbnailMenuClick() {
    if (OrgWindow) {
        delete OrgWindow.data();
        ShowThumbnailMenu->setChecked(false);
        Game.KeepThumbnailPicture(false);
        return;
    }
    OrgWindow = new TOrgWindow(this, [this] {
        OrgWindow = nullptr;
        ShowThumbnailMenu->setChecked(false);
        Game.KeepThumbnailPicture(false);
    });
    Game.KeepThumbnailPicture(true);
    {
        const BusyCursor busy;
        OrgWindow->SetPicture(Life.ThumbnailPicture());
    }
    OrgWindow->show();
    BringToForeground();
    ShowThumbnailMenu->setChecked(true);
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
    if (OrgWindow && OrgWindow->isVisible()) {
        OrgWindow->raise();
    }
}

void TFormMain::AboutMenuClick() {
    auto* about = new TFormAbout(this);
    KeepAboveStayOnTopWindows(*about);
    FormAbout = about;
    about->exec();
    delete about;
}
