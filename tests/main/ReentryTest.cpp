// What arrives while a puzzle is being built (the build's one pass of pending events): a new
// game waits for the build to end, a close ends start-up without another word, and the busy
// cursor goes on every way out.
#include "main/FormFixture.h"
#include "music/MediaPlayer.h"
#include "package/TempFolder.h"
#include "windows/Progress.h"

#include <QChildEvent>
#include <QGuiApplication>
#include <QTest>
#include <functional>
#include <set>
#include <stdexcept>

namespace {

// Counts the builds of a main window (each shows a new loading window) and runs an action in
// the one pass of pending events of the next build.
class BuildWatch : public QObject {
public:
    explicit BuildWatch(TFormMain& form)
        : Form(form) {
        Form.installEventFilter(this);
    }
    ~BuildWatch() override { Form.removeEventFilter(this); }

    void DuringNextBuild(std::function<void()> action) { Action = std::move(action); }

    int Builds = 0;

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ChildPolished ||
            !qobject_cast<TFormProgress*>(static_cast<QChildEvent*>(event)->child())) {
            return false;
        }
        ++Builds;
        if (Action) {
            QMetaObject::invokeMethod(this, std::exchange(Action, {}), Qt::QueuedConnection);
        }
        return false;
    }

private:
    TFormMain& Form;
    std::function<void()> Action;
};

class ReentryTest : public ShownFormTest {
protected:
    void ExpectOneCleanGame() {
        ASSERT_TRUE(Form.Game().Pieces());
        EXPECT_FALSE(Form.Game().GameOver());
        const std::size_t count = Form.Game().Pieces()->Count();
        EXPECT_EQ(count, static_cast<std::size_t>(Form.Game().PuzzleGrid().Cols *
                                                  Form.Game().PuzzleGrid().Rows));
        std::set<int> groups;
        std::set<std::pair<int, int>> cells;
        for (const auto& piece : *Form.Game().Pieces()) {
            groups.insert(piece->GroupId);
            cells.insert({piece->Col, piece->Row});
        }
        EXPECT_EQ(groups.size(), count);
        EXPECT_EQ(cells.size(), count);
        const Bitmap shown = Form.Game().DrawnBoard();
        Form.Game().RedrawBoard();
        EXPECT_TRUE(Form.Game().DrawnBoard() == shown);
    }

    std::string Temp(std::string_view name) const { return PlayerFile(Runtime.Path(), name); }
};

const Bytes Song = ReadBytes(TAVRIN_SOURCE_DIR "/resources/demo/silent-night.mid");

} // namespace

TEST_F(ReentryTest, NewGamesAskedForDuringABuildNeverNestAndABurstGivesOneMoreGame) {
    ASSERT_TRUE(Form.StartGame(Jpeg(400, 300)));
    BuildWatch watch(Form);
    watch.DuringNextBuild([this] {
        QTest::keyClick(&Form, Qt::Key_F2);
        Form.NewGameMenu()->trigger();
        Form.NewGameMenuClick();
        Form.StartGame(Form.PicturePath());
    });
    Form.NewGameMenuClick();
    QCoreApplication::processEvents();
    EXPECT_EQ(watch.Builds, 2); // the game asked for, then one game for the whole burst
    EXPECT_TRUE(Messages.Calls.empty());
    ExpectOneCleanGame();

    Form.NewGameMenuClick(); // nothing is left waiting
    EXPECT_EQ(watch.Builds, 3);
    ExpectOneCleanGame();
}

TEST_F(ReentryTest, ACloseDuringStartUpEndsItWithoutAnotherWord) {
    const std::string package = MakePackage(Work, PayloadOf(2000, {0x7F, 'E', 'L', 'F'}),
                                            JpegOf(400, 300), Song, {"--message", "Welcome!"});
    // Closed before the package is read, and closed in the first build's pass of events.
    for (const bool duringBuild : {false, true}) {
        Messages.Calls.clear();
        TFormMain form(package);
        PlaySongsIntoFile(form, Work.File("audio.raw"));
        BuildWatch watch(form);
        if (duringBuild) {
            watch.DuringNextBuild([&form] { form.close(); });
            form.show();
        } else {
            form.show();
            form.close();
        }
        QCoreApplication::processEvents();
        EXPECT_TRUE(Messages.Calls.empty()) << Messages.Calls.front().Text.toStdString();
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.MediaPlayer()->GetMode(), MediaPlayer::Mode::NotOpen);
        EXPECT_FALSE(form.Game().Pieces());
        EXPECT_EQ(watch.Builds, duringBuild ? 1 : 0);
        EXPECT_TRUE(!Form.FormProgress() || !Form.FormProgress()->isVisible());
        EXPECT_FALSE(FileExists(Temp("tavrin.jpg")));
        EXPECT_FALSE(FileExists(Temp("tavrin.mid")));
    }
}

// A package that gives no puzzle, its window closed while start-up waits for it to be on the
// screen: the failure is not shown.
TEST_F(ReentryTest, ACloseWhileStartUpWaitsShowsNoFailure) {
    TFormMain form(Work.File("no-package"));
    form.show();
    QMetaObject::invokeMethod(&form, &QWidget::close, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    EXPECT_FALSE(form.FirstShowPending());
    EXPECT_TRUE(Messages.Calls.empty());
}

// The loading window closed while the puzzle is cut: the game is built all the same, and the
// window that deleted itself is not reached again.
TEST_F(ReentryTest, ALoadingWindowClosedDuringTheBuildIsNotReachedAgain) {
    BuildWatch watch(Form);
    bool closedDuringStart = false;
    watch.DuringNextBuild([this, &closedDuringStart] {
        closedDuringStart = QGuiApplication::overrideCursor() != nullptr;
        Form.FormProgress()->close();
    });
    EXPECT_TRUE(Form.StartGame(Jpeg(400, 300)));
    EXPECT_TRUE(closedDuringStart);
    EXPECT_FALSE(Form.FormProgress());
    ExpectOneCleanGame();
}

TEST_F(ReentryTest, TheBusyCursorIsRestoredOnEveryWayOutOfStartGame) {
    EXPECT_TRUE(Form.StartGame(Jpeg(400, 300)));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(Form.StartGame(PictureFile("bad.jpg", PayloadOf(100, {'x'}))));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(Form.StartGame(Jpeg(40, 40)));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // An exception out of the zoom notice's box.
    MessageBoxHook recorder = SetMessageBoxHook([](const QString&, const QString&, MessageIcon) {
        throw std::runtime_error("no box today");
    });
    EXPECT_THROW(Form.StartGame(Jpeg(4000, 3000)), std::runtime_error);
    SetMessageBoxHook(std::move(recorder));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    EXPECT_TRUE(Form.StartGame(Jpeg(400, 300))); // and the next game is not held back
    ExpectOneCleanGame();
}
