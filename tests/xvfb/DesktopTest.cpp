// The player's windows on a real X server, with or without a window manager, at the toolkit's
// scale factor (QT_SCALE_FACTOR): everything is judged by what the server shows, in its own
// pixels. The captions as the window manager reads them (_NET_WM_NAME); the thumbnail's frame
// one pixel inside the work area's corner, its picture pixel for pixel, above the main window,
// which keeps the keyboard focus; the about window centred on the screen; the board on the
// screen equal to the board drawn anew; a piece dragged with real pointer events (XTEST) to the far
// corner, the pointer kept inside the board.
//   desktop_test PACKAGE
#include "desktop/DevicePixels.h"
#include "main/Application.h"
#include "main/BoardWidget.h"
#include "main/Main.h"
#include "main/MessageBox.h"
#include "music/MediaPlayer.h"
#include "puzzle/Groups.h"
#include "windows/About.h"
#include "windows/Orgwnd.h"
#include "windows/Progress.h"
#include "xvfb/X11Support.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace {

xcb_connection_t* Connection() {
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_window_t Root() {
    return xcb_setup_roots_iterator(xcb_get_setup(Connection())).data->root;
}

xcb_window_t X11Window(const QWidget* window) {
    return static_cast<xcb_window_t>(window->winId());
}

xcb_atom_t Atom(const char* name) {
    return ::Atom(Connection(), name);
}

std::vector<std::uint32_t> Cardinals(xcb_window_t window, const char* property) {
    xcb_connection_t* c = Connection();
    auto* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, Atom(property), XCB_ATOM_ANY, 0, 64), nullptr);
    std::vector<std::uint32_t> values;
    if (reply != nullptr && reply->format == 32) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

// The caption as a window manager shows it.
std::string NetWmName(const QWidget* window) {
    return ::NetWmName(Connection(), X11Window(window));
}

bool HasWindowManager() {
    return !Cardinals(Root(), "_NET_SUPPORTING_WM_CHECK").empty();
}

// The client area of a top-level window on the screen, in the server's pixels.
QRect ClientOnScreen(const QWidget* window) {
    xcb_connection_t* c = Connection();
    const xcb_window_t id = X11Window(window);
    auto* origin =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, id, Root(), 0, 0), nullptr);
    auto* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr);
    QRect rect;
    if (origin != nullptr && geometry != nullptr) {
        rect = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
    }
    std::free(origin);
    std::free(geometry);
    return rect;
}

// The window with the window manager's frame around it (left, right, top, bottom extents).
QRect FrameOnScreen(const QWidget* window) {
    const QRect client = ClientOnScreen(window);
    std::vector<std::uint32_t> extents = Cardinals(X11Window(window), "_NET_FRAME_EXTENTS");
    extents.resize(4, 0);
    return client.adjusted(-static_cast<int>(extents[0]), -static_cast<int>(extents[2]),
                           static_cast<int>(extents[1]), static_cast<int>(extents[3]));
}

QRect WorkArea() {
    const std::vector<std::uint32_t> area = Cardinals(Root(), "_NET_WORKAREA");
    if (area.size() >= 4) {
        return QRect(area[0], area[1], area[2], area[3]);
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(Connection())).data;
    return QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels);
}

// The screen's pixels in `rect`, as 0xRRGGBB.
std::vector<std::uint32_t> ScreenPixels(const QRect& rect) {
    xcb_connection_t* c = Connection();
    auto* image = xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, Root(), static_cast<std::int16_t>(rect.x()),
                      static_cast<std::int16_t>(rect.y()), static_cast<std::uint16_t>(rect.width()),
                      static_cast<std::uint16_t>(rect.height()), ~0u),
        nullptr);
    std::vector<std::uint32_t> pixels;
    if (image != nullptr) {
        const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image));
        pixels.assign(data, data + static_cast<std::size_t>(rect.width()) * rect.height());
        for (std::uint32_t& p : pixels) {
            p &= 0xFFFFFF;
        }
    }
    std::free(image);
    return pixels;
}

// How many pixels of the screen's `rect` differ from the bitmap's top-left part of that size.
long DifferingPixels(const QRect& rect, const Bitmap& bitmap) {
    const std::vector<std::uint32_t> screen = ScreenPixels(rect);
    if (screen.empty() || bitmap.Width() < rect.width() || bitmap.Height() < rect.height()) {
        return -1;
    }
    long differing = 0;
    for (int y = 0; y < rect.height(); ++y) {
        for (int x = 0; x < rect.width(); ++x) {
            differing += screen[static_cast<std::size_t>(y) * rect.width() + x] !=
                         (bitmap.At(x, y) & 0xFFFFFF);
        }
    }
    return differing;
}

// The root window's child that holds `window`: its frame under a window manager.
xcb_window_t TopOfStack(xcb_window_t window) {
    xcb_connection_t* c = Connection();
    for (;;) {
        auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
        if (tree == nullptr) {
            return window;
        }
        const xcb_window_t parent = tree->parent;
        std::free(tree);
        if (parent == Root() || parent == XCB_NONE) {
            return window;
        }
        window = parent;
    }
}

// Where the window stands in the root's stacking order, bottom first.
int StackingIndex(const QWidget* window) {
    xcb_connection_t* c = Connection();
    const xcb_window_t top = TopOfStack(X11Window(window));
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, Root()), nullptr);
    int index = -1;
    if (tree != nullptr) {
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            if (children[i] == top) {
                index = i;
            }
        }
    }
    std::free(tree);
    return index;
}

bool HasKeyboardFocus(const QWidget* window) {
    xcb_connection_t* c = Connection();
    auto* focus = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    const bool has = focus != nullptr && TopOfStack(focus->focus) == TopOfStack(X11Window(window));
    std::free(focus);
    return has;
}

QPoint PointerOnScreen() {
    xcb_connection_t* c = Connection();
    auto* reply = xcb_query_pointer_reply(c, xcb_query_pointer(c, Root()), nullptr);
    const QPoint at = reply != nullptr ? QPoint(reply->root_x, reply->root_y) : QPoint(-1, -1);
    std::free(reply);
    return at;
}

void FakePointer(std::uint8_t type, const QPoint& at = {}) {
    xcb_connection_t* c = Connection();
    if (type == XCB_MOTION_NOTIFY) {
        xcb_test_fake_input(c, type, 0, XCB_CURRENT_TIME, Root(), static_cast<std::int16_t>(at.x()),
                            static_cast<std::int16_t>(at.y()), 0);
    } else {
        xcb_test_fake_input(c, type, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }
    xcb_flush(c);
    QTest::qWait(40);
}

// Until the window manager has framed and placed the window and it has been painted.
void Settle(QWidget* window) {
    if (!QTest::qWaitForWindowExposed(window, 30000)) {
        std::printf("note: %s was not exposed in time\n", qPrintable(window->objectName()));
    }
    QTest::qWait(600);
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds = 30000) {
    for (int waited = 0; waited < milliseconds && !condition(); waited += 50) {
        QTest::qWait(50);
    }
    return condition();
}

std::string Describe(const QRect& r) {
    return std::to_string(r.width()) + "x" + std::to_string(r.height()) + "+" +
           std::to_string(r.x()) + "+" + std::to_string(r.y());
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Windows are placed and sized in the toolkit's units, each more than one pixel at a scale
// factor above 1, and the toolkit rounds their edges to the server's pixels one by one: one
// pixel is allowed at a whole factor, two at a fractional one.
int Slack(const QWidget& window) {
    const qreal ratio = window.devicePixelRatioF();
    if (ratio <= 1) {
        return 0;
    }
    return std::abs(ratio - std::round(ratio)) < 1e-6 ? 1 : 2;
}

// The device pixels a size rounded down to whole device pixels may lose: less than the device
// length of the shortest length in the toolkit's units that is whole in device pixels.
int AlignmentLoss(const QWidget& window) {
    const qreal ratio = window.devicePixelRatioF();
    int units = 1;
    while (units < 100 && std::abs(units * ratio - std::round(units * ratio)) > 1e-6) {
        ++units;
    }
    return static_cast<int>(std::lround(units * ratio)) - 1;
}

bool Near(int a, int b, int slack) {
    return std::abs(a - b) <= slack;
}

void CheckTheLoadingWindow(TFormMain& form, const QString& title) {
    Check(NetWmName(form.FormProgress()) == title.toStdString(),
          "the loading window's caption is " + Quoted(title.toStdString()));
}

std::vector<TFormProgress*> OpenLoadingWindows(TFormMain& form) {
    std::vector<TFormProgress*> open;
    for (TFormProgress* loading : form.findChildren<TFormProgress*>()) {
        if (loading->isVisible()) {
            open.push_back(loading);
        }
    }
    return open;
}

// Opening the thumbnail while the first game's loading window and a new game's still show:
// all of them stay above the board.
void CheckTheStackingWithTheLoadingWindows(TFormMain& form) {
    form.NewGameMenuClick();
    WaitFor([&] { return form.FormProgress() && form.FormProgress()->ButtonClose->isEnabled(); });
    const std::vector<TFormProgress*> loading = OpenLoadingWindows(form);
    Check(loading.size() == 2, "two loading windows are open");
    form.ShowThumbnailMenuClick();
    if (form.OrgWindow() == nullptr) {
        Check(false, "the thumbnail window opens");
        return;
    }
    Settle(form.OrgWindow());
    bool above = StackingIndex(form.OrgWindow()) > StackingIndex(&form);
    for (const TFormProgress* window : loading) {
        above = above && StackingIndex(window) > StackingIndex(&form);
    }
    Check(above, "the thumbnail and both loading windows stay above the board");
    // A slow build (sanitizers) may see the window manager still settling the focus.
    Check(WaitFor([&form] { return HasKeyboardFocus(&form); }, 5000),
          "the main window keeps the keyboard focus");
    form.ShowThumbnailMenuClick();
    for (TFormProgress* window : loading) {
        window->ButtonClose->click();
    }
    QTest::qWait(300);
}

void CheckTheThumbnail(TFormMain& form) {
    form.ShowThumbnailMenuClick();
    TOrgWindow* thumbnail = form.OrgWindow();
    if (thumbnail == nullptr) {
        Check(false, "the thumbnail window opens");
        return;
    }
    Settle(thumbnail);
    Check(NetWmName(thumbnail) == "Thumbnail", "the thumbnail's caption is \"Thumbnail\"");
    const int slack = Slack(*thumbnail);
    const QRect frame = FrameOnScreen(thumbnail);
    const QRect work = WorkArea();
    Check(Near(frame.right(), work.right() - 1, slack) &&
              Near(frame.bottom(), work.bottom() - 1, slack),
          "the thumbnail's frame ends one pixel inside the work area's corner (frame " +
              Describe(frame) + ", work area " + Describe(work) + ")");
    const QRect client = ClientOnScreen(thumbnail);
    Check(Near(client.width(), form.ThumbnailPicture()->Width() / 2, slack) &&
              Near(client.height(), form.ThumbnailPicture()->Height() / 2, slack),
          "the thumbnail is half the picture's size in the screen's pixels");
    const Bitmap expected =
        StretchNearest(*form.ThumbnailPicture(), client.width(), client.height());
    const long differing = DifferingPixels(client, expected);
    Check(differing == 0, "the thumbnail shows the picture pixel for pixel (" +
                              std::to_string(differing) + " differ in " + Describe(client) + ")");
    Check(StackingIndex(thumbnail) > StackingIndex(&form), "the thumbnail stays above the board");
    form.ShowThumbnailMenuClick();
}

// Without a picture the thumbnail keeps its loaded outer size, frame and all, in the corner,
// also when the window manager's frame differs from the main window's.
void CheckTheThumbnailWithoutAPicture(TFormMain& form) {
    TOrgWindow thumbnail(&form, {});
    thumbnail.SetPicture(nullptr);
    thumbnail.show();
    TOrgWindow* const OrgWindow = &thumbnail;
    Settle(OrgWindow);
    const qreal ratio = OrgWindow->devicePixelRatioF();
    const int slack = Slack(*OrgWindow);
    const QRect frame = FrameOnScreen(OrgWindow);
    const QRect work = WorkArea();
    Check(Near(frame.width(), static_cast<int>(std::lround(172 * ratio)), slack) &&
              Near(frame.height(), static_cast<int>(std::lround(151 * ratio)), slack) &&
              Near(frame.right(), work.right() - 1, slack) &&
              Near(frame.bottom(), work.bottom() - 1, slack),
          "without a picture the thumbnail is 172 x 151 with its frame, in the corner (frame " +
              Describe(frame) + ")");
    const QRect client = ClientOnScreen(OrgWindow);
    Bitmap white(client.width(), client.height());
    white.Fill(0xFFFFFF);
    Check(DifferingPixels(client, white) == 0, "without a picture the thumbnail is white");
}

void CheckTheAboutWindow(TFormMain& form) {
    QTimer::singleShot(0, [&form] {
        const auto shown = [&form] { return form.findChild<TFormAbout*>(); };
        if (!WaitFor([&] { return shown() && shown()->isVisible(); }, 5000)) {
            return;
        }
        TFormAbout* about = shown();
        Settle(about);
        Check(NetWmName(about) == "About", "the about window's caption is \"About\"");
        const QRect frame = FrameOnScreen(about);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(Connection())).data;
        const int slack = 1 + Slack(*about);
        Check(Near(frame.center().x(), screen->width_in_pixels / 2, slack) &&
                  Near(frame.center().y(), screen->height_in_pixels / 2, slack),
              "the about window is centred on the screen (frame " + Describe(frame) + ")");
        about->accept();
    });
    form.AboutMenuClick();
}

// The label looks exactly as one that shows `text` as plain text, tags and all.
bool ShowsPlainText(QLabel& label, const QString& text) {
    QLabel plain;
    plain.setTextFormat(Qt::PlainText);
    plain.setText(text);
    plain.setFont(label.font());
    plain.setPalette(label.palette());
    plain.setAlignment(label.alignment());
    plain.setWordWrap(label.wordWrap());
    plain.setContentsMargins(label.contentsMargins());
    plain.setIndent(label.indent());
    plain.setMargin(label.margin());
    plain.setTextInteractionFlags(label.textInteractionFlags());
    return plain.sizeHint() == label.sizeHint();
}

// A real message box, not the recorder: its caption as shown and its text left as it is.
void CheckAMessageBox() {
    const MessageBoxHook recorder = SetMessageBoxHook({});
    const QString markup = QStringLiteral("<b>Merry</b> & bright");
    QTimer::singleShot(0, [&] {
        if (!WaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 5000)) {
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        Settle(box);
        Check(box != nullptr && NetWmName(box) == "Tavrin",
              "a message box's caption is \"Tavrin\"");
        auto* label = box != nullptr ? box->findChild<QLabel*>("qt_msgbox_label") : nullptr;
        Check(label != nullptr && ShowsPlainText(*label, markup),
              "a message that looks like markup is shown as plain text");
        if (box != nullptr) {
            box->accept();
        }
    });
    ShowMessageBox({markup.toStdString(), MessageIcon::Information});
    SetMessageBoxHook(recorder);
}

QRect BoardOnScreen(TFormMain& form) {
    const QRect client = ClientOnScreen(&form);
    return QRect(client.topLeft() + DeviceOffsetInWindow(*form.BoardView()),
                 QSize(form.ClientWidth(), form.ClientHeight()));
}

std::vector<xcb_atom_t> Atoms(xcb_window_t window, const char* property) {
    const std::vector<std::uint32_t> values = Cardinals(window, property);
    return {values.begin(), values.end()};
}

// A window manager may draw a maximise button on every window; this one offers no maximising
// and a request to maximise leaves it as it is.
void CheckTheMainWindowCannotBeMaximised(TFormMain& form) {
    WaitFor([&] { return !Atoms(X11Window(&form), "_NET_WM_ALLOWED_ACTIONS").empty(); }, 10000);
    const std::vector<xcb_atom_t> actions = Atoms(X11Window(&form), "_NET_WM_ALLOWED_ACTIONS");
    const bool offered =
        std::count(actions.begin(), actions.end(), Atom("_NET_WM_ACTION_MAXIMIZE_HORZ")) > 0 ||
        std::count(actions.begin(), actions.end(), Atom("_NET_WM_ACTION_MAXIMIZE_VERT")) > 0;
    Check(!actions.empty() && !offered, "the window manager offers no maximising");
    const QRect before = FrameOnScreen(&form);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = X11Window(&form);
    message.type = Atom("_NET_WM_STATE");
    message.data.data32[0] = 1; // add
    message.data.data32[1] = Atom("_NET_WM_STATE_MAXIMIZED_HORZ");
    message.data.data32[2] = Atom("_NET_WM_STATE_MAXIMIZED_VERT");
    message.data.data32[3] = 1;
    xcb_send_event(Connection(), 0, Root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(Connection());
    QTest::qWait(500);
    Check(FrameOnScreen(&form) == before,
          "a request to maximise leaves the window as it is (" + Describe(before) + ")");
}

// The topmost piece whose middle lies on the board and is not covered by another piece.
TPuzzle* GrippablePiece(TFormMain& form) {
    for (auto at = form.Game().Pieces()->rbegin(); at != form.Game().Pieces()->rend(); ++at) {
        TPuzzle* piece = at->get();
        const int x = (piece->Bounds.Left + piece->Bounds.Right) / 2;
        const int y = (piece->Bounds.Top + piece->Bounds.Bottom) / 2;
        if (x > 10 && y > 10 && x < form.ClientWidth() - 10 && y < form.ClientHeight() - 10 &&
            TopmostAt(*form.Game().Pieces(), x, y) == piece) {
            return piece;
        }
    }
    return nullptr;
}

void CheckADragToTheFarCorner(TFormMain& form) {
    const QRect board = BoardOnScreen(form);
    TPuzzle* piece = GrippablePiece(form);
    if (piece == nullptr) {
        Check(false, "a piece lies free on the board");
        return;
    }
    const QPoint grip = board.topLeft() + QPoint((piece->Bounds.Left + piece->Bounds.Right) / 2,
                                                 (piece->Bounds.Top + piece->Bounds.Bottom) / 2);
    FakePointer(XCB_MOTION_NOTIFY, grip);
    FakePointer(XCB_BUTTON_PRESS);
    Check(WaitFor([&] { return form.Game().HeldPiece() == piece; }, 5000),
          "a press on the piece picks it up");
    const QPoint far(board.x() + board.width() + 3000, board.y() + board.height() + 3000);
    for (int step = 1; step <= 10; ++step) {
        FakePointer(XCB_MOTION_NOTIFY, grip + (far - grip) * step / 10);
    }
    const QPoint farthest =
        board.topLeft() + QPoint(form.ClientWidth() - 3, form.ClientHeight() - 3);
    WaitFor([&] { return PointerOnScreen() == farthest; }, 2000);
    Check(PointerOnScreen() == farthest,
          "the pointer stops at the board's far corner, two pixels inside");
    FakePointer(XCB_MOTION_NOTIFY, QPoint(0, 0));
    WaitFor([&] { return PointerOnScreen() == board.topLeft() + QPoint(1, 1); }, 2000);
    Check(PointerOnScreen() == board.topLeft() + QPoint(1, 1),
          "the pointer stops one pixel inside the board's near corner, below the menu");
    FakePointer(XCB_MOTION_NOTIFY, far);
    QTest::qWait(200);
    FakePointer(XCB_BUTTON_RELEASE);
    WaitFor([&] { return form.Game().HeldPiece() == nullptr; }, 5000);
    QTest::qWait(300);
    Check(piece->Bounds.Left < form.ClientWidth() - 3 &&
              piece->Bounds.Right > form.ClientWidth() - 3 &&
              piece->Bounds.Top < form.ClientHeight() - 3 &&
              piece->Bounds.Bottom > form.ClientHeight() - 3,
          "the piece lies at the board's far corner");
    const Bitmap shown = form.Game().DrawnBoard();
    // The drop's paint waits for the next frame, which a busy machine can delay.
    const bool painted = WaitFor([&] { return DifferingPixels(board, shown) == 0; }, 2000);
    Check(painted, "after the drag the screen shows the board drawn anew (" +
                       std::to_string(DifferingPixels(board, shown)) + " pixels differ)");
}

// A panel appears along the screen's foot, as a desktop adds one: the window manager makes the
// work area smaller, and the main window follows, its frame inside the new area and its board
// drawn anew at the new size, not cut; when the panel goes (a window manager may put it over
// the board), the window grows back.
void CheckTheWindowFollowsANewPanel(TFormMain& form) {
    xcb_connection_t* c = Connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const QRect before = WorkArea();
    const std::uint32_t height = screen->height_in_pixels / 8;
    const xcb_window_t panel = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, panel, Root(), 0,
                      static_cast<std::int16_t>(screen->height_in_pixels - height),
                      screen->width_in_pixels, static_cast<std::uint16_t>(height), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const xcb_atom_t dock = Atom("_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, panel, Atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM,
                        32, 1, &dock);
    std::uint32_t strut[12] = {}; // the bottom edge's height, across the whole width
    strut[3] = height;
    strut[11] = screen->width_in_pixels - 1u;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, panel, Atom("_NET_WM_STRUT_PARTIAL"),
                        XCB_ATOM_CARDINAL, 32, 12, strut);
    xcb_map_window(c, panel);
    xcb_flush(c);
    const bool shrunk = WaitFor([&] { return WorkArea().bottom() < before.bottom(); }, 10000);
    Check(shrunk, "the window manager makes the work area smaller for the panel");
    const QRect work = WorkArea();
    // The window manager clamps the window in its own pixels, then the keeper to whole ones.
    const int slack = Slack(form) + 2 * AlignmentLoss(form);
    const auto fills = [&] {
        const QRect frame = FrameOnScreen(&form);
        return work.contains(frame) && Near(frame.bottom(), work.bottom(), slack);
    };
    const bool follows = shrunk && WaitFor(fills, 10000);
    Check(follows, "the main window's frame ends at the smaller work area's foot (frame " +
                       Describe(FrameOnScreen(&form)) + ", work area " + Describe(work) + ")");
    WaitFor([&] { return form.Game().DrawnBoard().Height() == form.ClientHeight(); }, 5000);
    QTest::qWait(300);
    const QRect board = BoardOnScreen(form);
    const Bitmap& buffer = form.Game().DrawnBoard();
    const long differing = DifferingPixels(board, buffer);
    Check(work.contains(board) && buffer.Height() == board.height() && differing == 0,
          "the smaller board is drawn anew inside the work area (board " + Describe(board) + ", " +
              std::to_string(differing) + " pixels differ from its buffer)");

    xcb_destroy_window(c, panel);
    xcb_flush(c);
    const auto fillsAgain = [&] {
        const QRect frame = FrameOnScreen(&form);
        return WorkArea() == before && before.contains(frame) &&
               Near(frame.bottom(), before.bottom(), slack);
    };
    Check(WaitFor(fillsAgain, 10000), "the main window grows back when the panel goes (frame " +
                                          Describe(FrameOnScreen(&form)) + ")");
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: desktop_test PACKAGE\n");
        return 2;
    }
    TApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "needs an X server (got %s)\n", qPrintable(app.platformName()));
        return 2;
    }
    std::printf("scale factor %.2f, %s window manager\n", qApp->devicePixelRatio(),
                HasWindowManager() ? "with a" : "without a");
    SetMessageBoxHook([](const QString& text, const QString&, MessageIcon) {
        std::printf("message: %s\n", qPrintable(text));
    });

    TFormMain form(argv[1]);
    form.MediaPlayer()->AudioDriver = QStringLiteral("file");
    form.MediaPlayer()->AudioFile = QStringLiteral("/dev/null");
    form.show();
    const bool built = WaitFor([&] {
        return form.Game().Pieces() && form.FormProgress() &&
               form.FormProgress()->ButtonClose->isEnabled();
    });
    Check(built, "the puzzle is built");
    if (!built) {
        return CheckSummary();
    }
    Settle(&form);
    Check(NetWmName(&form) == "Tavrin Christmas Edition",
          "the main window's caption is \"Tavrin Christmas Edition\"");
    CheckTheLoadingWindow(form, QStringLiteral("Tavrin Christmas Edition"));
    if (HasWindowManager()) {
        CheckTheMainWindowCannotBeMaximised(form);
    }
    CheckTheStackingWithTheLoadingWindows(form);
    CheckTheThumbnail(form);
    CheckTheThumbnailWithoutAPicture(form);
    CheckTheAboutWindow(form);
    CheckAMessageBox();
    if (HasWindowManager()) {
        CheckTheWindowFollowsANewPanel(form);
    }
    QTest::qWait(300);

    const QRect board = BoardOnScreen(form);
    Check(DifferingPixels(board, form.Game().DrawnBoard()) == 0,
          "the screen shows the board drawn anew pixel for pixel");
    CheckADragToTheFarCorner(form);
    return CheckSummary();
}
