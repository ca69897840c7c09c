#include "Pack.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string player = error ? "tavrin" : (self.parent_path() / "tavrin").string();
    return RunPack(std::vector<std::string>(argv + 1, argv + argc), player, std::cout, std::cerr);
}
