#pragma once

// Removes `name` in the folder `parentFd` with all it holds, without following links: a
// half-unpacked bundle left by a start that was cut short. Returns false when something stays.
bool RemoveTree(int parentFd, const char* name);
