#pragma once

// Removes `name` in the folder `parentFd` with all it holds, without following links: a
// half-unpacked bundle left by a start that was cut short, or a player folder taken out of the
// way. Returns false when something stays.
bool RemoveTree(int parentFd, const char* name);
