#pragma once

struct xcb_connection_t;

// A connection of the player's own to DISPLAY's X server, held while the toolkit connects.
// An X server whose last client leaves resets, and closes every connection still in its
// handshake: beside a client that connects and disconnects again and again (a watcher polling
// the server), the toolkit's connection was closed so now and then, and the start failed as if
// there were no display. While this connection is held the toolkit's is never caught in a
// reset; this one is tried again when a reset closes it. Does nothing where the toolkit will not
// use X11.
class ServerHold {
public:
    ServerHold();
    // Lets go of the server: call once the toolkit has connected (or failed to).
    ~ServerHold();
    ServerHold(const ServerHold&) = delete;
    ServerHold& operator=(const ServerHold&) = delete;

private:
    xcb_connection_t* Connection = nullptr;
};
