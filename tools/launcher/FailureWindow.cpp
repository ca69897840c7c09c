#include "FailureWindow.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

constexpr int Margin = 16;
constexpr int WrapColumns = 72;
constexpr std::size_t CommandColumns = 120;
constexpr int ButtonWidth = 80;
constexpr std::uint32_t KeyReturn = 0xFF0D, KeyPadEnter = 0xFF8D, KeyEscape = 0xFF1B;

// The core font's characters are Latin-1; anything else shows as '?'.
std::string Latin1(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : 4;
        if (length == 2 && i + 1 < utf8.size()) {
            const unsigned code = (lead & 0x1Fu) << 6 | (utf8[i + 1] & 0x3Fu);
            out += code < 0x100 ? static_cast<char>(code) : '?';
        } else {
            out += length == 1 ? static_cast<char>(lead) : '?';
        }
        i += static_cast<std::size_t>(length);
    }
    return out;
}

// Breaks each line of `text` at spaces so that none is longer than `proseColumns`; a word longer
// than that (a path) is cut.
std::vector<std::string> Wrap(const std::string& text, std::size_t proseColumns) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view rest(text.data() + start, end - start);
        // An indented line is a command to type: it is broken only where it must be.
        const std::size_t columns = rest.starts_with("  ") ? CommandColumns : proseColumns;
        do {
            std::size_t cut = rest.size();
            if (cut > columns) {
                const std::size_t space = rest.rfind(' ', columns);
                cut = space == std::string_view::npos || space == 0 ? columns : space;
            }
            lines.emplace_back(rest.substr(0, cut));
            rest.remove_prefix(cut);
            while (!rest.empty() && rest.front() == ' ') {
                rest.remove_prefix(1);
            }
        } while (!rest.empty());
        start = end + 1;
    }
    return lines;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

struct FontSize {
    int Width = 6;
    int Ascent = 11;
    int Height = 13;
};

FontSize Measure(xcb_connection_t* c, xcb_font_t font) {
    FontSize size;
    if (xcb_query_font_reply_t* info = xcb_query_font_reply(c, xcb_query_font(c, font), nullptr)) {
        size.Width = std::max<int>(1, info->max_bounds.character_width);
        size.Ascent = info->font_ascent;
        size.Height = info->font_ascent + info->font_descent + 2;
        std::free(info);
    }
    return size;
}

// The key codes that close the window: Return, keypad Enter and Escape.
std::vector<xcb_keycode_t> ClosingKeys(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    std::vector<xcb_keycode_t> keys;
    xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<std::uint8_t>(count)),
        nullptr);
    if (map == nullptr) {
        return keys;
    }
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
    for (int code = 0; code < count; ++code) {
        for (int i = 0; i < map->keysyms_per_keycode; ++i) {
            const xcb_keysym_t sym = syms[code * map->keysyms_per_keycode + i];
            if (sym == KeyReturn || sym == KeyPadEnter || sym == KeyEscape) {
                keys.push_back(static_cast<xcb_keycode_t>(setup->min_keycode + code));
            }
        }
    }
    std::free(map);
    return keys;
}

class MessageWindow {
public:
    MessageWindow(xcb_connection_t* c, const std::string& title, const std::string& text)
        : C(c)
        , Screen(xcb_setup_roots_iterator(xcb_get_setup(c)).data)
        , Lines(Wrap(Latin1(text), WrapColumns)) {
        Font = xcb_generate_id(C);
        xcb_open_font(C, Font, 5, "fixed");
        Size = Measure(C, Font);
        std::size_t columns = 0;
        for (const std::string& line : Lines) {
            columns = std::max(columns, line.size());
        }
        Width = std::max<int>(static_cast<int>(columns) * Size.Width, 240) + 2 * Margin;
        Height = static_cast<int>(Lines.size()) * Size.Height + 3 * Margin + ButtonHeight();
        Create(Latin1(title));
        Keys = ClosingKeys(C);
    }

    // Shows the window and handles its events until it is closed or the server goes away.
    void Run() {
        xcb_map_window(C, Window);
        xcb_flush(C);
        while (xcb_generic_event_t* event = xcb_wait_for_event(C)) {
            const bool close = Handle(event);
            std::free(event);
            if (close) {
                break;
            }
        }
        xcb_destroy_window(C, Window);
        xcb_flush(C);
    }

private:
    int ButtonHeight() const { return Size.Height + 10; }
    int ButtonLeft() const { return (Width - ButtonWidth) / 2; }
    int ButtonTop() const { return Height - Margin - ButtonHeight(); }

    void Create(const std::string& title) {
        Window = xcb_generate_id(C);
        const std::uint32_t values[] = {Screen->white_pixel, XCB_EVENT_MASK_EXPOSURE |
                                                                 XCB_EVENT_MASK_KEY_PRESS |
                                                                 XCB_EVENT_MASK_BUTTON_RELEASE};
        const int x = std::max(0, (Screen->width_in_pixels - Width) / 2);
        const int y = std::max(0, (Screen->height_in_pixels - Height) / 2);
        xcb_create_window(C, XCB_COPY_FROM_PARENT, Window, Screen->root,
                          static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                          static_cast<std::uint16_t>(Width), static_cast<std::uint16_t>(Height), 1,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, Screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        SetProperties(title, x, y);
        Gc = xcb_generate_id(C);
        const std::uint32_t gcValues[] = {Screen->black_pixel, Screen->white_pixel, Font};
        xcb_create_gc(C, Gc, Window, XCB_GC_FOREGROUND | XCB_GC_BACKGROUND | XCB_GC_FONT, gcValues);
    }

    void SetProperty(xcb_atom_t name, xcb_atom_t type, int format, std::size_t count,
                     const void* data) {
        xcb_change_property(C, XCB_PROP_MODE_REPLACE, Window, name, type,
                            static_cast<std::uint8_t>(format), static_cast<std::uint32_t>(count),
                            data);
    }

    // The caption, the class, closing through the window manager, and a fixed size placed in
    // the middle of the screen.
    void SetProperties(const std::string& title, int x, int y) {
        SetProperty(XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, title.size(), title.data());
        SetProperty(Atom(C, "_NET_WM_NAME"), Atom(C, "UTF8_STRING"), 8, title.size(), title.data());
        static constexpr char Class[] = "tavrin\0Tavrin";
        SetProperty(XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof Class, Class);
        DeleteWindow = Atom(C, "WM_DELETE_WINDOW");
        SetProperty(Atom(C, "WM_PROTOCOLS"), XCB_ATOM_ATOM, 32, 1, &DeleteWindow);
        const std::uint32_t pid = static_cast<std::uint32_t>(getpid());
        SetProperty(Atom(C, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
        const xcb_atom_t dialog = Atom(C, "_NET_WM_WINDOW_TYPE_DIALOG");
        SetProperty(Atom(C, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &dialog);
        // WM_SIZE_HINTS: user position, program size, minimum and maximum size.
        std::uint32_t hints[18] = {1 | 8 | 16 | 32};
        hints[1] = static_cast<std::uint32_t>(x);
        hints[2] = static_cast<std::uint32_t>(y);
        hints[5] = hints[7] = hints[3] = static_cast<std::uint32_t>(Width);
        hints[6] = hints[8] = hints[4] = static_cast<std::uint32_t>(Height);
        SetProperty(XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
    }

    void Text(int x, int y, const std::string& text) {
        const std::size_t length = std::min<std::size_t>(text.size(), 255);
        xcb_image_text_8(C, static_cast<std::uint8_t>(length), Window, Gc,
                         static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), text.data());
    }

    void Draw() {
        for (std::size_t i = 0; i < Lines.size(); ++i) {
            Text(Margin, Margin + Size.Ascent + static_cast<int>(i) * Size.Height, Lines[i]);
        }
        const xcb_rectangle_t button = {static_cast<std::int16_t>(ButtonLeft()),
                                        static_cast<std::int16_t>(ButtonTop()), ButtonWidth,
                                        static_cast<std::uint16_t>(ButtonHeight())};
        xcb_poly_rectangle(C, Window, Gc, 1, &button);
        Text(ButtonLeft() + (ButtonWidth - 2 * Size.Width) / 2, ButtonTop() + 5 + Size.Ascent,
             "OK");
        xcb_flush(C);
    }

    bool OnButton(int x, int y) const {
        return x >= ButtonLeft() && x < ButtonLeft() + ButtonWidth && y >= ButtonTop() &&
               y < ButtonTop() + ButtonHeight();
    }

    // Returns true when the event closes the window.
    bool Handle(const xcb_generic_event_t* event) {
        switch (event->response_type & 0x7F) {
        case XCB_EXPOSE:
            Draw();
            return false;
        case XCB_BUTTON_RELEASE: {
            const auto* release = reinterpret_cast<const xcb_button_release_event_t*>(event);
            return OnButton(release->event_x, release->event_y);
        }
        case XCB_KEY_PRESS: {
            const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
            return std::find(Keys.begin(), Keys.end(), press->detail) != Keys.end();
        }
        case XCB_CLIENT_MESSAGE: {
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
            return message->data.data32[0] == DeleteWindow;
        }
        default:
            return false;
        }
    }

    xcb_connection_t* C;
    xcb_screen_t* Screen;
    std::vector<std::string> Lines;
    std::vector<xcb_keycode_t> Keys;
    xcb_font_t Font = 0;
    xcb_gcontext_t Gc = 0;
    xcb_window_t Window = 0;
    xcb_atom_t DeleteWindow = XCB_ATOM_NONE;
    FontSize Size;
    int Width = 0;
    int Height = 0;
};

} // namespace

bool ShowFailureWindow(const std::string& title, const std::string& text) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == 0) {
        return false;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        xcb_disconnect(c);
        return false;
    }
    MessageWindow(c, title, text).Run();
    xcb_disconnect(c);
    return true;
}

void ReportStartFailure(const std::string& reason) {
    std::fprintf(stderr, "tavrin: %s\n", reason.c_str());
    std::fflush(stderr);
    // A damaged file is mended only by a sound copy: say what the recipient can do.
    const std::string advice = reason.ends_with("damaged")
                                   ? ".\n\nA download cut short or a file changed on the way "
                                     "does that: ask whoever sent it for the puzzle again."
                                   : "";
    ShowFailureWindow("Tavrin", "This puzzle cannot start: " + reason + advice);
}
