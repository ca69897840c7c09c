#include "main/Main.h"

#include "main/Application.h"
#include "main/TerminationRequests.h"

#include <exception>

int main(int, char** argv) {
    // The player takes no command line, not even the toolkit's own options.
    int toolkitArgc = 1;
    char* toolkitArgv[] = {argv[0], nullptr};
    TApplication app(toolkitArgc, toolkitArgv);
    try {
        TFormMain form;
        // Ended from outside, the player closes as it does when its window is closed.
        const TerminationRequests requests([&form] { form.CloseFromOutside(); });
        form.show();
        app.exec();
    } catch (const std::exception& e) {
        ShowException(e.what());
    }
    return 0;
}
