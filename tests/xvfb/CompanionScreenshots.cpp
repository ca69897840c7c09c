// Under a real X server (Xvfb): opens the demo package, then shows the loading window, the
// thumbnail window and the about window in turn and saves a screenshot of each as a test
// artefact. Fails when a window does not appear or its screenshot is blank.
//   companion_screenshots PACKAGE OUTPUT-FOLDER
#include "main/Application.h"
#include "main/Main.h"
#include "main/MessageBox.h"
#include "music/MediaPlayer.h"
#include "windows/About.h"
#include "windows/Orgwnd.h"
#include "windows/Progress.h"

#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {

int Failures = 0;

void Fail(const char* what) {
    std::fprintf(stderr, "FAILED: %s\n", what);
    ++Failures;
}

// The window as the X server shows it, frame and all.
bool SaveScreenshot(QWidget* window, const QString& file) {
    if (window == nullptr || !QTest::qWaitForWindowExposed(window)) {
        return false;
    }
    QTest::qWait(300);
    const QRect frame = window->frameGeometry();
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                            .toImage();
    const QRgb corner = shot.pixel(shot.width() / 2, shot.height() / 2);
    bool varied = false;
    for (int y = 0; y < shot.height() && !varied; y += 3) {
        for (int x = 0; x < shot.width() && !varied; x += 3) {
            varied = shot.pixel(x, y) != corner;
        }
    }
    return varied && shot.save(file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: companion_screenshots PACKAGE OUTPUT-FOLDER\n");
        return 2;
    }
    TApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "needs an X server (got %s)\n", qPrintable(app.platformName()));
        return 2;
    }
    SetMessageBoxHook([](const QString& text, const QString&, MessageIcon) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    });
    const QString output = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(output);

    TFormMain form(argv[1]);
    form.MediaPlayer()->AudioDriver = QStringLiteral("file");
    form.MediaPlayer()->AudioFile = QStringLiteral("/dev/null");
    form.show();
    QTest::qWait(1500);
    if (!SaveScreenshot(form.FormProgress(), output + "/loading-window.png")) {
        Fail("loading window");
    }
    if (form.FormProgress()) {
        form.FormProgress()->ButtonClose->click();
    }
    form.ShowThumbnailMenuClick();
    if (!SaveScreenshot(form.OrgWindow(), output + "/thumbnail-window.png")) {
        Fail("thumbnail window");
    }
    QTimer::singleShot(500, [&] {
        auto* about = form.findChild<TFormAbout*>();
        if (!SaveScreenshot(about, output + "/about-window.png")) {
            Fail("about window");
        }
        if (about) {
            about->accept();
        }
    });
    form.AboutMenuClick();
    if (!SaveScreenshot(&form, output + "/main-window.png")) {
        Fail("main window");
    }
    std::printf("%d passed, %d failed\n", 4 - Failures, Failures);
    return Failures == 0 ? 0 : 1;
}
