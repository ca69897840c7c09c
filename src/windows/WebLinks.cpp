#include "windows/WebLinks.h"

#include <QDesktopServices>
#include <QUrl>

void OpenWebLink(const QString& address) {
    QDesktopServices::openUrl(QUrl(address));
}
