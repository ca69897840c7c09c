#include "windows/WebLinks.h"

#include "package/SavedEnvironment.h"

#include <QDesktopServices>
#include <QUrl>
#include <cstdlib>

// The browser starts during openUrl, with the environment of that moment: a portable puzzle puts
// back what its launcher changed (Qt's platform, fontconfig's and ALSA's files, the loader's
// variables) for the call, then its own settings.
void OpenWebLink(const QString& address) {
    const char* saved = std::getenv(SavedEnvironmentName);
    const auto player = SetVariables(DecodeVariables(saved != nullptr ? saved : ""));
    QDesktopServices::openUrl(QUrl(address));
    SetVariables(player);
}
