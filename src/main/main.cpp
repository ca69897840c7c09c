#include "main/Main.h"

#include "main/Application.h"
#include "main/StartupReadAhead.h"
#include "main/TerminationRequests.h"
#include "package/OwnPackage.h"

#include <QString>
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

QString WhyNoWindow(const QString& toolkitSays) {
    if (!toolkitSays.contains(QStringLiteral("platform plugin"))) {
        return toolkitSays;
    }
    const QString display = qEnvironmentVariable("DISPLAY");
    return display.isEmpty()
               ? QStringLiteral("no display to show the puzzle on (DISPLAY is not set)")
               : QStringLiteral("the display \"%1\" cannot be reached").arg(display);
}

// A start that cannot open a window ends with one line, before anything was written.
void HoldBackWhileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "tavrin: %s\n", qPrintable(WhyNoWindow(text)));
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
    // The package is read from the start, on another core, while the toolkit starts.
    auto readAhead = std::make_unique<StartupReadAhead>(OwnPackagePath());
    // The player takes no command line, not even the toolkit's own options.
    int toolkitArgc = 1;
    char* toolkitArgv[] = {argv[0], nullptr};
    qInstallMessageHandler(HoldBackWhileStarting);
    TApplication app(toolkitArgc, toolkitArgv);
    SayHeldBackMessages();
    readAhead->ToolkitStarted();
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
