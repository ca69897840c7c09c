// Under a real X server (Xvfb): the main window in this process, on a picture large enough that
// decoding it takes a while, gets bursts of F2 and a held F2 as real key events (XTEST), so
// that keys arrive while a puzzle is being built. Each time the player must end with one clean
// game: as many pieces as grid cells, one group per piece, and the screen showing exactly what
// a full redraw of the board gives.
//   new_game_burst_test
#include "main/Application.h"
#include "main/BoardWidget.h"
#include "main/Main.h"
#include "main/MessageBox.h"
#include "windows/Progress.h"
#include "xvfb/X11Support.h"

#include <QChildEvent>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace {

void Check(bool ok, const QString& what) {
    ::Check(ok, what.toStdString());
}

// Counts the builds: each shows a new loading window.
class BuildCounter : public QObject {
public:
    int Builds = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ChildPolished &&
            qobject_cast<TFormProgress*>(static_cast<QChildEvent*>(event)->child())) {
            ++Builds;
        }
        return false;
    }
};

// Real key presses through XTEST on a connection of its own.
class Keyboard {
public:
    Keyboard()
        : Connection(xcb_connect(nullptr, nullptr)) {}
    ~Keyboard() { xcb_disconnect(Connection); }

    bool Usable() { return xcb_connection_has_error(Connection) == 0 && KeyCode() != 0; }

    void Press() { Send(XCB_KEY_PRESS); }
    void Release() { Send(XCB_KEY_RELEASE); }

    void MovePointer(QPoint to) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(Connection)).data->root;
        xcb_test_fake_input(Connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root,
                            static_cast<std::int16_t>(to.x()), static_cast<std::int16_t>(to.y()),
                            0);
        xcb_flush(Connection);
    }

private:
    void Send(std::uint8_t type) {
        xcb_test_fake_input(Connection, type, KeyCode(), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(Connection);
    }

    // The key that gives F2.
    std::uint8_t KeyCode() {
        constexpr std::uint32_t F2 = 0xFFBF;
        if (Code != 0) {
            return Code;
        }
        const xcb_setup_t* setup = xcb_get_setup(Connection);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        auto* map = xcb_get_keyboard_mapping_reply(
            Connection, xcb_get_keyboard_mapping(Connection, setup->min_keycode, count), nullptr);
        if (map == nullptr) {
            return 0;
        }
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
        for (int key = 0; key < count && Code == 0; ++key) {
            for (int i = 0; i < map->keysyms_per_keycode; ++i) {
                if (syms[key * map->keysyms_per_keycode + i] == F2) {
                    Code = static_cast<std::uint8_t>(setup->min_keycode + key);
                }
            }
        }
        std::free(map);
        return Code;
    }

    xcb_connection_t* Connection;
    std::uint8_t Code = 0;
};

// Waits until no build has started for a second.
void WaitUntilSettled(BuildCounter& counter) {
    int last = -1;
    for (int i = 0; i < 60 && counter.Builds != last; ++i) {
        last = counter.Builds;
        QTest::qWait(1000);
    }
}

// Pixels of the board on the screen that differ from the board drawn anew, outside the loading
// windows that still cover it.
int BoardPixelsUnlikeTheBuffer(TFormMain& form) {
    const QRect board(form.BoardView()->mapToGlobal(QPoint(0, 0)), form.BoardView()->size());
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, board.x(), board.y(), board.width(), board.height())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    std::vector<QRect> covered;
    for (const TFormProgress* progress : form.findChildren<TFormProgress*>()) {
        if (progress->isVisible()) {
            covered.push_back(progress->frameGeometry());
        }
    }
    const Bitmap drawn = form.Game().DrawnBoard();
    int unlike = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QPoint global = board.topLeft() + QPoint(x, y);
            const bool hidden = std::any_of(covered.begin(), covered.end(),
                                            [&](const QRect& r) { return r.contains(global); });
            unlike += !hidden && (shot.pixel(x, y) & 0xFFFFFF) != (drawn.At(x, y) & 0xFFFFFF);
        }
    }
    return unlike;
}

void CheckOneCleanGame(TFormMain& form, const QString& after) {
    if (!form.Game().Pieces()) {
        Check(false, after + ": a puzzle is on the board");
        return;
    }
    const std::size_t count = form.Game().Pieces()->Count();
    std::set<int> groups;
    for (const auto& piece : *form.Game().Pieces()) {
        groups.insert(piece->GroupId);
    }
    Check(count == static_cast<std::size_t>(form.Game().PuzzleGrid().Cols *
                                            form.Game().PuzzleGrid().Rows),
          after + QStringLiteral(": %1 pieces for %2 x %3 cells")
                      .arg(count)
                      .arg(form.Game().PuzzleGrid().Cols)
                      .arg(form.Game().PuzzleGrid().Rows));
    Check(groups.size() == count, after + QStringLiteral(": one group per piece"));
    QTest::qWait(300);
    const int unlike = BoardPixelsUnlikeTheBuffer(form);
    Check(unlike == 0,
          after + QStringLiteral(": the screen shows the board (%1 pixels differ)").arg(unlike));
}

void CloseLoadingWindows(TFormMain& form) {
    for (TFormProgress* progress : form.findChildren<TFormProgress*>()) {
        progress->close();
    }
    QTest::qWait(200);
}

void GiveFocusTo(TFormMain& form, Keyboard& keys) {
    keys.MovePointer(form.BoardView()->mapToGlobal(form.BoardView()->rect().center()));
    form.activateWindow();
    if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == &form; }, 3000)) {
        std::printf("note: the main window did not become active\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::printf("skipped: needs an X server (got %s)\n", qPrintable(app.platformName()));
        return 77;
    }
    Keyboard keys;
    if (!keys.Usable()) {
        std::printf("skipped: no XTEST keyboard with an F2 key\n");
        return 77;
    }
    QStringList messages;
    SetMessageBoxHook([&](const QString& text, const QString&, MessageIcon) { messages << text; });
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("large.jpg"));
    QImage image(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] = qRgb((x * 3 + y) % 256, (y * 5) % 256, (x + y * 2) % 256);
        }
    }
    image.save(picture, "JPG", 95);

    TFormMain form(folder.filePath(QStringLiteral("no-package")).toStdString());
    BuildCounter counter;
    form.installEventFilter(&counter);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::printf("FAILED: the main window never showed\n");
        return 1;
    }
    QTest::qWait(300);
    form.Game().Settings.Shape = PuzzleShape::ForType(4);
    form.Game().Settings.ZoomPercent = 100;
    form.StartGame(picture);
    CloseLoadingWindows(form);
    messages.clear();

    struct Burst {
        QString Name;
        int Presses;
        int HoldMs;
    };
    for (const Burst& burst :
         {Burst{QStringLiteral("two quick F2"), 2, 0}, Burst{QStringLiteral("five quick F2"), 5, 0},
          Burst{QStringLiteral("F2 held for a second and a half"), 1, 1500}}) {
        GiveFocusTo(form, keys);
        const int before = counter.Builds;
        for (int i = 0; i < burst.Presses; ++i) {
            keys.Press();
            if (burst.HoldMs > 0) {
                QThread::msleep(static_cast<unsigned long>(burst.HoldMs));
            }
            keys.Release();
        }
        WaitUntilSettled(counter);
        Check(counter.Builds > before,
              burst.Name +
                  QStringLiteral(": new games were built (%1)").arg(counter.Builds - before));
        CheckOneCleanGame(form, burst.Name);
        CloseLoadingWindows(form);
    }
    Check(messages.isEmpty(), QStringLiteral("no message was shown (%1)").arg(messages.join('|')));
    return CheckSummary();
}
