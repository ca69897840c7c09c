#pragma once

#include <string>

// The player's word to the launcher that started it (see tools/launcher/StartWatcher.h): written
// into the pipe named by TAVRIN_START_FD, once. Without that variable these do nothing.

// Takes the pipe, and the launcher's hold on the player's cache folder (TAVRIN_CACHE_HOLD_FD),
// from the environment, so that no program the player starts inherits either.
void TakeStartReport();

// The player can show its own message boxes from now on.
void ReportStarted();

// The player cannot show any window, for `reason`; the launcher's watcher shows it if it can.
void ReportCannotStart(const std::string& reason);
