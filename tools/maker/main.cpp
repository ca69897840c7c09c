// tavrin-maker [PHOTO [SONG]]: the Puzzle Maker window, with the photo and song loaded when
// given; --help and --version print and exit.
#include "MakerForm.h"
#include "Version.h"
#include "windows/AppIcon.h"

#include <QApplication>
#include <csignal>
#include <filesystem>
#include <iostream>

namespace {

const char* const Help =
    "usage: tavrin-maker [PHOTO [SONG]]\n"
    "       tavrin-maker --help | --version\n"
    "\n"
    "Opens the Tavrin Puzzle Maker: choose a photo, a song, the piece size and the rest, try the\n"
    "puzzle and save it. PHOTO and SONG are opened at once when given, in either order (a MIDI\n"
    "file is the song). Puzzles are written as tavrin-pack writes them.\n";

} // namespace

int main(int argc, char** argv) {
    // Past a file-size limit a write then fails and is reported, as in tavrin-pack.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << Help;
        return 0;
    }
    if (!args.empty() && args[0] == "--version") {
        std::cout << "tavrin-maker (Tavrin) " << TavrinVersion << "\n";
        return 0;
    }
    for (const std::string& arg : args) {
        if (arg.rfind("-", 0) == 0) {
            std::cerr << "tavrin-maker: unknown option \"" << arg << "\"\n" << Help;
            return 2;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("tavrin-maker");
    QApplication::setApplicationDisplayName(QString());
    QApplication::setDesktopFileName(QString::fromUtf8(TavrinAppId) + ".Maker");
    QApplication::setWindowIcon(AppIcon());

    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path folder = error ? "" : self.parent_path();
    MakerForm form(
        DefaultPlayers{(folder / "tavrin-portable").string(), (folder / "tavrin-lean").string()});
    // A puzzle still being tried when the window closes keeps its file until it ends.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&form, &MakerForm::Done, &app, &QApplication::quit, Qt::QueuedConnection);
    form.show();
    QStringList files;
    for (const std::string& arg : args) {
        files << QString::fromLocal8Bit(arg.c_str());
    }
    form.OpenFiles(files);
    return app.exec();
}
