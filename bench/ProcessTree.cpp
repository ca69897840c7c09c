#include "ProcessTree.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

// The parent of every process, from the fourth field of /proc/PID/stat (the name in the second
// field may hold spaces and parentheses, so the fields are read after its last ')').
std::multimap<pid_t, pid_t> ChildrenOfEveryProcess() {
    std::multimap<pid_t, pid_t> children;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::ifstream in(entry.path() / "stat");
        std::string stat;
        std::getline(in, stat);
        const std::size_t nameEnd = stat.rfind(')');
        if (nameEnd == std::string::npos) {
            continue; // the process ended meanwhile
        }
        std::istringstream fields(stat.substr(nameEnd + 1));
        char state = 0;
        pid_t parent = 0;
        if (fields >> state >> parent) {
            children.emplace(parent, static_cast<pid_t>(std::atoi(name.c_str())));
        }
    }
    return children;
}

double PeakRssMiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

} // namespace

std::vector<pid_t> ProcessTree(pid_t root) {
    const std::multimap<pid_t, pid_t> children = ChildrenOfEveryProcess();
    std::vector<pid_t> tree{root};
    for (std::size_t i = 0; i < tree.size(); ++i) {
        const auto [first, last] = children.equal_range(tree[i]);
        for (auto child = first; child != last; ++child) {
            tree.push_back(child->second);
        }
    }
    return tree;
}

double TreePeakRssMiB(pid_t root) {
    double total = 0;
    for (const pid_t pid : ProcessTree(root)) {
        total += PeakRssMiB(pid);
    }
    return total;
}

void EndProcessTree(pid_t root) {
    for (const pid_t pid : ProcessTree(root)) {
        kill(pid, SIGTERM);
    }
    waitpid(root, nullptr, 0);
}
