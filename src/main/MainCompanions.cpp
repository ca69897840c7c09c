// The menu commands that open the companion windows.
#include "main/Main.h"
#include "windows/About.h"
#include "windows/Orgwnd.h"

void TFormMain::ShowThumbnailMenuClick() {
    if (OrgWindow) {
        delete OrgWindow.data();
        OrgWindow = nullptr;
        ShowThumbnailMenu->setChecked(false);
        return;
    }
    OrgWindow = new TOrgWindow(this, [this] { ShowThumbnailMenu->setChecked(false); });
    OrgWindow->SetPicture(ThumbnailPicture);
    OrgWindow->show();
    raise();
    activateWindow();
    ShowThumbnailMenu->setChecked(true);
}

void TFormMain::AboutMenuClick() {
    auto* about = new TFormAbout(this);
    FormAbout = about;
    about->exec();
    delete about;
}
