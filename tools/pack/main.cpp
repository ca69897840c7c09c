#include "Pack.h"

#include <csignal>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    // Past a file-size limit a write then fails, and the half-written puzzle is removed, instead
    // of the signal ending the tool with it left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path folder = error ? "" : self.parent_path();
    const DefaultPlayers players{(folder / "tavrin-portable").string(),
                                 (folder / "tavrin-lean").string()};
    return RunPack(std::vector<std::string>(argv + 1, argv + argc), players, std::cout, std::cerr);
}
