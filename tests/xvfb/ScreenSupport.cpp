#include "xvfb/ScreenSupport.h"

#include "xvfb/X11Support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>
#include <xcb/xtest.h>

using namespace std::chrono_literals;

namespace {

struct Rect {
    int X, Y, Width, Height;
    bool Contains(int x, int y) const {
        return x >= X && y >= Y && x < X + Width && y < Y + Height;
    }
};

// Viewable and drawn: an input-only window (the pointer's confinement) covers nothing.
bool ShowsOnScreen(xcb_connection_t* c, xcb_window_t w) {
    auto* a = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
    const bool shows = a != nullptr && a->map_state == XCB_MAP_STATE_VIEWABLE &&
                       a->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT;
    std::free(a);
    return shows;
}

std::vector<xcb_window_t> Children(xcb_connection_t* c, xcb_window_t parent) {
    std::vector<xcb_window_t> children;
    if (auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr)) {
        const xcb_window_t* ids = xcb_query_tree_children(tree);
        children.assign(ids, ids + xcb_query_tree_children_length(tree));
        std::free(tree);
    }
    return children;
}

std::optional<Rect> OnScreen(const Screen& s, xcb_window_t w) {
    auto* origin = xcb_translate_coordinates_reply(
        s.Connection, xcb_translate_coordinates(s.Connection, w, s.Root->root, 0, 0), nullptr);
    auto* g = xcb_get_geometry_reply(s.Connection, xcb_get_geometry(s.Connection, w), nullptr);
    std::optional<Rect> rect;
    if (origin != nullptr && g != nullptr) {
        rect = Rect{origin->dst_x, origin->dst_y, g->width, g->height};
    }
    std::free(origin);
    std::free(g);
    return rect;
}

pid_t WindowPid(xcb_connection_t* c, xcb_window_t w) {
    auto* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, Atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 0, 1), nullptr);
    pid_t pid = 0;
    if (reply != nullptr && xcb_get_property_value_length(reply) == 4) {
        pid = static_cast<pid_t>(*static_cast<const std::uint32_t*>(xcb_get_property_value(reply)));
    }
    std::free(reply);
    return pid;
}

// The process's windows inside `top` (itself, or a frame's children), which shows at `level`.
void FindIn(const Screen& s, xcb_window_t top, pid_t pid, int depth,
            std::vector<xcb_window_t>& found) {
    if (!ShowsOnScreen(s.Connection, top)) {
        return;
    }
    if (WindowPid(s.Connection, top) == pid) {
        found.push_back(top);
        return;
    }
    if (depth > 0) {
        for (const xcb_window_t child : Children(s.Connection, top)) {
            FindIn(s, child, pid, depth - 1, found);
        }
    }
}

std::vector<std::pair<int, int>> UncoveredPixels(const Rect& client,
                                                 const std::vector<Rect>& above) {
    std::vector<std::pair<int, int>> uncovered;
    for (int y = client.Y; y < client.Y + client.Height; ++y) {
        for (int x = client.X; x < client.X + client.Width; ++x) {
            bool covered = false;
            for (const Rect& r : above) {
                covered = covered || r.Contains(x, y);
            }
            if (!covered) {
                uncovered.emplace_back(x, y);
            }
        }
    }
    return uncovered;
}

std::uint8_t Keycode(const Screen& s, std::uint32_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(s.Connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto* map = xcb_get_keyboard_mapping_reply(
        s.Connection, xcb_get_keyboard_mapping(s.Connection, setup->min_keycode, count), nullptr);
    std::uint8_t found = 0;
    if (map != nullptr) {
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
        for (int i = 0; i < count * map->keysyms_per_keycode && found == 0; ++i) {
            if (syms[i] == keysym) {
                found =
                    static_cast<std::uint8_t>(setup->min_keycode + i / map->keysyms_per_keycode);
            }
        }
        std::free(map);
    }
    return found;
}

void FakeKey(const Screen& s, std::uint8_t type, std::uint8_t keycode) {
    xcb_test_fake_input(s.Connection, type, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(s.Connection);
    std::this_thread::sleep_for(30ms);
}

} // namespace

std::optional<Screen> OpenScreen() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        std::printf("skipped: no X server could be reached\n");
        xcb_disconnect(c);
        return std::nullopt;
    }
    return Screen{c, xcb_setup_roots_iterator(xcb_get_setup(c)).data};
}

std::vector<std::uint32_t> Screenshot(const Screen& s) {
    const int w = s.Root->width_in_pixels;
    const int h = s.Root->height_in_pixels;
    auto* image = xcb_get_image_reply(
        s.Connection,
        xcb_get_image(s.Connection, XCB_IMAGE_FORMAT_Z_PIXMAP, s.Root->root, 0, 0, w, h, ~0u),
        nullptr);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
    if (image != nullptr) {
        const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image));
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = data[i] & 0xFFFFFF;
        }
        std::free(image);
    }
    return pixels;
}

void WaitForStableScreen(const Screen& s) {
    auto last = Screenshot(s);
    int agreeing = 0;
    for (int i = 0; i < 60 && agreeing < 2; ++i) {
        std::this_thread::sleep_for(300ms);
        auto now = Screenshot(s);
        agreeing = now == last ? agreeing + 1 : 0;
        last = std::move(now);
    }
}

std::vector<ShownWindow> WindowsOf(const Screen& s, pid_t pid) {
    const std::vector<xcb_window_t> tops = Children(s.Connection, s.Root->root);
    std::vector<ShownWindow> shown;
    for (std::size_t i = 0; i < tops.size(); ++i) {
        std::vector<xcb_window_t> found;
        FindIn(s, tops[i], pid, 3, found);
        std::vector<Rect> above;
        for (std::size_t j = i + 1; j < tops.size() && !found.empty(); ++j) {
            if (ShowsOnScreen(s.Connection, tops[j])) {
                if (const auto r = OnScreen(s, tops[j])) {
                    above.push_back(*r);
                }
            }
        }
        for (const xcb_window_t w : found) {
            if (const auto r = OnScreen(s, w)) {
                shown.push_back({w, NetWmName(s.Connection, w), r->X, r->Y, r->Width, r->Height,
                                 UncoveredPixels(*r, above)});
            }
        }
    }
    return shown;
}

double BlackShare(const std::vector<std::uint32_t>& shot, int screenWidth, const ShownWindow& w) {
    std::size_t black = 0;
    std::size_t counted = 0;
    for (const auto& [x, y] : w.Uncovered) {
        const std::size_t at = static_cast<std::size_t>(y) * screenWidth + x;
        if (x >= 0 && y >= 0 && at < shot.size()) {
            black += shot[at] == 0;
            ++counted;
        }
    }
    return counted > 0 ? static_cast<double>(black) / counted : 0;
}

void Pointer(const Screen& s, std::uint8_t type, int x, int y) {
    xcb_test_fake_input(s.Connection, type, type == XCB_MOTION_NOTIFY ? 0 : 1, XCB_CURRENT_TIME,
                        type == XCB_MOTION_NOTIFY ? s.Root->root : XCB_NONE,
                        static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0);
    xcb_flush(s.Connection);
    std::this_thread::sleep_for(30ms);
}

void Click(const Screen& s, int x, int y) {
    Pointer(s, XCB_MOTION_NOTIFY, x, y);
    Pointer(s, XCB_BUTTON_PRESS, 0, 0);
    Pointer(s, XCB_BUTTON_RELEASE, 0, 0);
}

void PressKey(const Screen& s, std::uint32_t keysym, const std::vector<std::uint32_t>& held) {
    for (const std::uint32_t h : held) {
        FakeKey(s, XCB_KEY_PRESS, Keycode(s, h));
    }
    FakeKey(s, XCB_KEY_PRESS, Keycode(s, keysym));
    FakeKey(s, XCB_KEY_RELEASE, Keycode(s, keysym));
    for (auto h = held.rbegin(); h != held.rend(); ++h) {
        FakeKey(s, XCB_KEY_RELEASE, Keycode(s, *h));
    }
}

pid_t KeyboardOwner(const Screen& s) {
    auto* focus =
        xcb_get_input_focus_reply(s.Connection, xcb_get_input_focus(s.Connection), nullptr);
    xcb_window_t w = focus != nullptr ? focus->focus : XCB_NONE;
    std::free(focus);
    // The window that has it, or the frame or top-level it lies in.
    while (w != XCB_NONE && w != XCB_INPUT_FOCUS_POINTER_ROOT && w != s.Root->root) {
        if (const pid_t pid = WindowPid(s.Connection, w)) {
            return pid;
        }
        auto* tree = xcb_query_tree_reply(s.Connection, xcb_query_tree(s.Connection, w), nullptr);
        w = tree != nullptr ? tree->parent : XCB_NONE;
        std::free(tree);
    }
    return 0;
}

void Activate(const Screen& s, xcb_window_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = Atom(s.Connection, "_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2; // asked for by the user, as a pager or task bar asks
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(s.Connection, 0, s.Root->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(s.Connection, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_set_input_focus(s.Connection, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    xcb_flush(s.Connection);
    std::this_thread::sleep_for(300ms);
}

std::vector<ShownWindow> Captioned(const Screen& s, pid_t pid, const std::string& caption) {
    std::vector<ShownWindow> found;
    for (ShownWindow& w : WindowsOf(s, pid)) {
        if (w.Caption == caption) {
            found.push_back(std::move(w));
        }
    }
    return found;
}

bool WaitForWindows(const Screen& s, pid_t pid, const std::string& caption, std::size_t count) {
    for (int i = 0; i < 300; ++i) {
        if (Captioned(s, pid, caption).size() == count) {
            return true;
        }
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

void StartTheGame(const Screen& s, pid_t pid) {
    WaitForWindows(s, pid, PlayerTitle, 2);
    WaitForStableScreen(s);
    for (int tries = 0; tries < 20; ++tries) {
        const std::vector<ShownWindow> windows = Captioned(s, pid, PlayerTitle);
        if (windows.size() < 2) {
            break;
        }
        // The loading window is the smaller one; its start button is at its bottom.
        const ShownWindow& loading =
            std::min(windows[0], windows[1], [](const auto& a, const auto& b) {
                return a.Width * a.Height < b.Width * b.Height;
            });
        Click(s, loading.X + loading.Width / 2, loading.Y + loading.Height - 20);
        std::this_thread::sleep_for(300ms);
    }
}

std::optional<ShownWindow> BoardOf(const Screen& s, pid_t pid) {
    const std::vector<ShownWindow> boards = Captioned(s, pid, PlayerTitle);
    return boards.size() == 1 ? std::optional(boards.front()) : std::nullopt;
}
