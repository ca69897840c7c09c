#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QUrl>
#include <vector>

// Takes the web addresses the windows open instead of a browser.
class LinkCatcher : public QObject {
    Q_OBJECT
public:
    LinkCatcher() {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "Open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "Open");
    }
    ~LinkCatcher() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }

    std::vector<QString> Opened;

public slots:
    void Open(const QUrl& url) { Opened.push_back(url.toString()); }
};
