#include "main/Main.h"

#include "main/Application.h"
#include "main/StartupReadAhead.h"
#include "main/TerminationRequests.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <string>

namespace {

std::string RunningExecutable() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

} // namespace

int main(int, char** argv) {
    // The package is read from the start, on another core, while the toolkit starts.
    auto readAhead = std::make_unique<StartupReadAhead>(RunningExecutable());
    // The player takes no command line, not even the toolkit's own options.
    int toolkitArgc = 1;
    char* toolkitArgv[] = {argv[0], nullptr};
    TApplication app(toolkitArgc, toolkitArgv);
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
