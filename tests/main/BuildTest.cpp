#include "main/BoardWidget.h"
#include "main/FormFixture.h"
#include "windows/Progress.h"

#include <QChildEvent>
#include <QProgressBar>
#include <QPushButton>
#include <limits>
#include <set>

namespace {

const QString ZoomNotice = QStringLiteral("The image will be zoomed out because it is too large.");
const QString TooSmall = QStringLiteral("Cannot create puzzle because the image is too small.");

using BuildTest = ShownFormTest;

} // namespace

// The game fits the picture; the window shows its notice once and a new game none.
TEST_F(BuildTest, ThePicturesNoticesAreShownThroughTheWindow) {
    UseBoard(790, 560);
    const QString path = Jpeg(800, 600);
    ASSERT_TRUE(Form.StartGame(path));
    EXPECT_EQ(Form.Game().Settings.ZoomPercent, 90);
    ASSERT_EQ(Messages.Calls.size(), 1u);
    EXPECT_EQ(Messages.Calls[0].Text, ZoomNotice);
    EXPECT_EQ(Messages.Calls[0].Caption, "Tavrin");
    EXPECT_EQ(Messages.Calls[0].Icon, MessageIcon::Information);
    EXPECT_EQ(Form.PicturePath(), path);
    Form.NewGameMenuClick();
    EXPECT_EQ(Messages.Calls.size(), 1u);

    for (const int zoom : {std::numeric_limits<int>::min(), 0, 1}) {
        Messages.Calls.clear();
        Form.Game().Settings.ZoomPercent = zoom;
        EXPECT_FALSE(Form.StartGame(path)) << zoom;
        EXPECT_EQ(Texts(), std::vector<QString>{TooSmall}) << zoom;
        EXPECT_EQ(Messages.Calls[0].Icon, MessageIcon::Stop);
        EXPECT_EQ(Form.PicturePath(), path); // a new game tries the picture again
    }
    Messages.Calls.clear();
    Form.Game().Settings.ZoomPercent = std::numeric_limits<int>::max();
    EXPECT_TRUE(Form.StartGame(path));
    EXPECT_EQ(Texts(), std::vector<QString>{ZoomNotice});
}

TEST_F(BuildTest, AFileThatIsNotAJpegFailsNamingItsPath) {
    const Bytes jpeg = JpegOf(300, 200);
    const Bytes bmp = FileOf(PatternImage(300, 200), "BMP");
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, Bytes>>{
             {"fake.jpg", PayloadOf(4000, {'G', 'I', 'F', '8'})},
             {"cut.jpg", Bytes(jpeg.begin(), jpeg.begin() + 900)},
             {"cut.bmp", Bytes(bmp.begin(), bmp.begin() + 5000)}}) {
        Messages.Calls.clear();
        const QString path = PictureFile(name, bytes);
        EXPECT_FALSE(Form.StartGame(path));
        ASSERT_EQ(Messages.Calls.size(), 1u) << name;
        EXPECT_EQ(Messages.Calls[0].Text, QStringLiteral("Unable to open %1.").arg(path));
        EXPECT_EQ(Messages.Calls[0].Icon, MessageIcon::Stop);
        EXPECT_TRUE(Form.Game().GameOver());
        EXPECT_FALSE(Form.Game().Picture());
        EXPECT_FALSE(Form.Game().Pieces());
        EXPECT_TRUE(Form.PicturePath().isEmpty());
    }
    Messages.Calls.clear();
    Form.NewGameMenuClick(); // nothing to start from
    EXPECT_TRUE(Messages.Calls.empty());
    EXPECT_FALSE(Form.Game().Pieces());
}

TEST_F(BuildTest, ALevelWithoutEdgeStripsFailsOnceAndLeavesNothing) {
    Form.Game().Settings.Shape = PuzzleShape::ForType(12);
    const QString path = Jpeg(300, 200);
    EXPECT_FALSE(Form.StartGame(path));
    EXPECT_EQ(Texts(), std::vector<QString>{QStringLiteral("Cannot create puzzle.")});
    EXPECT_FALSE(Form.Game().Picture());
    EXPECT_FALSE(Form.ThumbnailPicture());
    EXPECT_FALSE(Form.Game().Pieces());
    EXPECT_EQ(Form.PicturePath(), path);
    EXPECT_TRUE(Form.Game().GameOver());
    ASSERT_TRUE(Form.FormProgress());
    EXPECT_FALSE(Form.FormProgress()->isVisible());
    EXPECT_EQ(Form.Game().DrawnBoard().At(3, 3), PixelFromColor(Form.Game().Settings.BoardColor));
}

TEST_F(BuildTest, TheLoadingWindowStaysOpenAtTheEndWithItsButtonEnabled) {
    Form.Game().Settings.Shape = PuzzleShape::ForType(1);
    ASSERT_TRUE(Form.StartGame(Jpeg(150, 150))); // 2 x 2 pieces
    ASSERT_TRUE(Form.FormProgress());
    EXPECT_EQ(Form.FormProgress()->ProgressBar->maximum(), 4);
    EXPECT_EQ(Form.FormProgress()->ProgressBar->value(), 4);
    EXPECT_TRUE(Form.FormProgress()->ButtonClose->isEnabled());
    EXPECT_TRUE(Form.FormProgress()->isVisible());
}

namespace {

// Watches every loading window the form shows: the bar's positions and whether the start
// button was usable at each.
class ProgressWatcher : public QObject {
public:
    std::vector<int> Positions;
    bool ButtonEnabledWhileBuilding = false;

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ChildPolished) {
            if (auto* progress =
                    qobject_cast<TFormProgress*>(static_cast<QChildEvent*>(event)->child())) {
                QObject::connect(progress->ProgressBar, &QProgressBar::valueChanged, this,
                                 [this, progress](int value) {
                                     Positions.push_back(value);
                                     ButtonEnabledWhileBuilding |=
                                         progress->ButtonClose->isEnabled();
                                 });
            }
        }
        return false;
    }
};

} // namespace

TEST_F(BuildTest, TheBarFollowsTheBuildAndOnlyThenEnablesTheButton) {
    Form.Game().Settings.Shape = PuzzleShape::ForType(2); // pitch 66
    ProgressWatcher watcher;
    Form.installEventFilter(&watcher);
    ASSERT_TRUE(Form.StartGame(Jpeg(8 * 66 - 14 + 20, 5 * 66 - 14 + 20)));
    ASSERT_EQ(Form.Game().PuzzleGrid().Cols, 8);
    ASSERT_EQ(Form.Game().PuzzleGrid().Rows, 5);
    ASSERT_GE(watcher.Positions.size(), 2u);
    EXPECT_EQ(watcher.Positions[watcher.Positions.size() - 2], 39);
    EXPECT_EQ(watcher.Positions.back(), 40);
    EXPECT_TRUE(std::is_sorted(watcher.Positions.begin(), watcher.Positions.end()));
    EXPECT_FALSE(watcher.ButtonEnabledWhileBuilding);
    EXPECT_TRUE(Form.FormProgress()->ButtonClose->isEnabled());
}

TEST_F(BuildTest, AfterABuildTheWindowShowsTheBoardBuffer) {
    ASSERT_TRUE(Form.StartGame(Jpeg(400, 300)));
    const Bitmap board = Form.Game().DrawnBoard();
    ASSERT_EQ(board.Width(), Form.ClientWidth() + 1);
    ASSERT_EQ(board.Height(), Form.ClientHeight());
    const QImage shown = Form.BoardView()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.width(), Form.ClientWidth());
    int pieces = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            ASSERT_EQ(shown.pixel(x, y), board.At(x, y)) << x << "," << y;
            pieces += board.At(x, y) != PixelFromColor(Form.Game().Settings.BoardColor);
        }
    }
    EXPECT_GT(pieces, 1000);
}

TEST_F(BuildTest, ANewGameCutsTheFreshlyLoadedPictureAgain) {
    ASSERT_TRUE(Form.StartGame(Jpeg(400, 300)));
    const Bitmap first = *Form.Game().Picture();
    const std::size_t count = Form.Game().Pieces()->Count();
    Form.NewGameMenuClick();
    ASSERT_TRUE(Form.Game().Pieces());
    EXPECT_EQ(Form.Game().Pieces()->Count(), count);
    EXPECT_EQ(Form.Game().Picture()->Width(), first.Width());
    EXPECT_FALSE(Form.Game().GameOver());
    std::set<int> groups;
    for (const auto& piece : *Form.Game().Pieces()) {
        groups.insert(piece->GroupId);
    }
    EXPECT_EQ(groups.size(), count);
}
