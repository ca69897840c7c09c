#pragma once

#include <sys/types.h>
#include <vector>

// A launched program and every process it started that still runs, read from /proc; a program
// may hand its work to helpers (a launcher, a daemon it forks), and all of them count.

// `root` and its living descendants, root first.
std::vector<pid_t> ProcessTree(pid_t root);

// The sum of the peak resident sizes (VmHWM) of `root` and its living descendants, in MiB.
double TreePeakRssMiB(pid_t root);

// Ends `root` and its descendants with SIGTERM, and reaps `root`, a child of this process.
void EndProcessTree(pid_t root);
