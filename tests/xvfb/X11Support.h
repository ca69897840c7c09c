#pragma once

// What the real-window tests share: a tally of checks, the X server's names and captions, and
// starting the real player in a home of its own.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>
#include <xcb/xcb.h>

// Prints "ok: WHAT" or "FAILED: WHAT" and counts it.
void Check(bool ok, const std::string& what);
// Prints "N passed, M failed" and returns the process's exit status.
int CheckSummary();

xcb_atom_t Atom(xcb_connection_t* c, const char* name);

// The caption as a window manager shows it (_NET_WM_NAME).
std::string NetWmName(xcb_connection_t* c, xcb_window_t window);

// Asks the window to close the way a window manager does (WM_DELETE_WINDOW).
void RequestClose(xcb_connection_t* c, xcb_window_t window);

// Runs a command (its path first) and returns its exit status, or -1.
int Run(const std::vector<std::string>& command);

// A fresh home for the player: a private runtime folder and ALSA's null device for sound.
std::filesystem::path MakePlayerHome();

// The player's temporary file `name`, in the folder of its own in home/runtime; a path that
// does not exist while there is no such folder.
std::filesystem::path PlayerTempFile(const std::filesystem::path& home, const std::string& name);
// Whether a player's folder or file is left in home/runtime.
bool PlayerFilesLeft(const std::filesystem::path& home);

// Whether the process ends by itself with status 0 within `limit`; it is killed when not.
bool EndsNormally(pid_t pid, std::chrono::milliseconds limit);

// Starts the player from `home` on the current X server, with `arguments`; its error output
// goes to home/player.log. Returns its process id, or -1.
pid_t StartPlayer(const std::string& player, const std::filesystem::path& home,
                  const std::vector<std::string>& arguments = {});

// As StartPlayer, in the test's environment less the variables named in `drop` and with those
// of `add` (NAME=value), rather than on the X server.
pid_t StartPlayerWithEnvironment(const std::string& player, const std::filesystem::path& home,
                                 const std::vector<std::string>& arguments,
                                 const std::vector<std::string>& drop,
                                 const std::vector<std::string>& add);

// Writes a 24-bit Windows bitmap of one colour, 0xRRGGBB; with `stripeWidth`, every other stripe
// of that many columns is at half the brightness.
void WriteBitmap(const std::filesystem::path& file, int width, int height, std::uint32_t rgb,
                 int stripeWidth = 0);
