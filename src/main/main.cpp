#include "main/Main.h"

#include "desktop/ServerHold.h"
#include "desktop/WindowKeeper.h"
#include "game/ScreenLayout.h"
#include "main/Application.h"
#include "main/StartReport.h"
#include "main/StartupReadAhead.h"
#include "main/TerminationRequests.h"
#include "package/OwnPackage.h"

#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace {

// The toolkit's messages while it starts: held back, for when it cannot start it says so in
// several lines and ends the program.
std::vector<QString>& HeldBackMessages() {
    static std::vector<QString> held;
    return held;
}

bool HeldBackSays(const QString& words) {
    return std::any_of(
        HeldBackMessages().begin(), HeldBackMessages().end(),
        [&words](const QString& m) { return m.contains(words, Qt::CaseInsensitive); });
}

// The toolkit's own reason: its first message about its platform plugin, else its first one.
QString ToolkitReason() {
    const auto& held = HeldBackMessages();
    const auto platform = std::find_if(held.begin(), held.end(), [](const QString& m) {
        return m.startsWith(QStringLiteral("qt.qpa"));
    });
    return platform != held.end() ? *platform : held.front();
}

QString WhyNoWindow(const QString& toolkitSays) {
    if (!toolkitSays.contains(QStringLiteral("platform plugin"))) {
        return toolkitSays;
    }
    const QString display = qEnvironmentVariable("DISPLAY");
    // The toolkit says it could not load its plugin both when the display cannot be reached and
    // when the plugin or a library it needs is missing; only the first names the display.
    if (!display.isEmpty() && !HeldBackSays(QStringLiteral("could not connect to display")) &&
        HeldBackSays(QStringLiteral("Qt platform plugin"))) {
        return QStringLiteral("Qt cannot load its platform plugin for X11 (for a lean puzzle: "
                              "apt-get install qt6-qpa-plugins)");
    }
    if (!display.isEmpty()) {
        return QStringLiteral("the display \"%1\" cannot be reached").arg(display);
    }
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        return QStringLiteral("no X display (DISPLAY is not set), and this player cannot show "
                              "windows on Wayland itself: start Xwayland (or, for a lean puzzle, "
                              "install qt6-wayland)");
    }
    return QStringLiteral("no display to show the puzzle on (DISPLAY is not set)");
}

// The player places its windows and confines the pointer, which only X11 allows: it runs on X11
// (Xwayland on a Wayland desktop) whenever a display is named, and on Wayland itself otherwise.
void PreferX11() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    }
}

// A start that cannot open a window ends with what it means, and on a second line the first
// thing the toolkit said (its own reason: which display, and what failed), before anything was
// written.
void HoldBackWhileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        const QString why = WhyNoWindow(text);
        std::fprintf(stderr, "tavrin: %s\n", qPrintable(why));
        std::string report = why.toStdString();
        if (!HeldBackMessages().empty() && text.contains(QStringLiteral("platform plugin"))) {
            const QString toolkitSays = QStringLiteral("the toolkit says: ") + ToolkitReason();
            std::fprintf(stderr, "tavrin: %s\n", qPrintable(toolkitSays));
            report += "\n" + toolkitSays.toStdString();
        }
        ReportCannotStart(report);
        std::_Exit(1);
    }
    HeldBackMessages().push_back(qFormatLogMessage(type, context, text));
}

void SayHeldBackMessages() {
    qInstallMessageHandler(nullptr);
    for (const QString& message : HeldBackMessages()) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
    HeldBackMessages().clear();
}

} // namespace

int main(int, char** argv) {
    TakeStartReport();
    // The package is read from the start, on another core, while the toolkit starts.
    auto readAhead = std::make_unique<StartupReadAhead>(OwnPackagePath());
    // The player takes no command line, not even the toolkit's own options.
    int toolkitArgc = 1;
    char* toolkitArgv[] = {argv[0], nullptr};
    qInstallMessageHandler(HoldBackWhileStarting);
    PreferX11();
    auto serverHold = std::make_unique<ServerHold>();
    TApplication app(toolkitArgc, toolkitArgv);
    serverHold.reset();
    // From here on the player says what goes wrong in its own message boxes.
    ReportStarted();
    SayHeldBackMessages();
    // The screen is known now: the picture is decoded no larger than the largest board needs.
    const QSize workArea = WorkAreaInDevicePixels();
    readAhead->ToolkitStarted(
        workArea.isEmpty() ? std::nullopt
                           : std::optional(BoardOfClientArea(workArea.width(), workArea.height())));
#ifndef __SANITIZE_ADDRESS__ // the sanitizer reports a crash through these signals itself
    PlayerFolder::RemoveOnFatalSignals();
#endif
    try {
        TFormMain form(std::move(readAhead));
        // Ended from outside, the player closes as it does when its window is closed.
        const TerminationRequests requests([&form] { form.CloseFromOutside(); });
        form.show();
        app.exec();
    } catch (const std::exception& e) {
        ShowException(e.what());
    }
    return 0;
}
