#include "main/BoardWidget.h"
#include "main/FormFixture.h"
#include "puzzle/Random.h"
#include "windows/Progress.h"

#include <QChildEvent>
#include <QProgressBar>
#include <QPushButton>
#include <limits>
#include <set>

namespace {

const QString ZoomNotice = QStringLiteral("The image will be zoomed out because it is too large.");
const QString TooSmall = QStringLiteral("Cannot create puzzle because the image is too small.");

using FitTest = ShownFormTest;
using BuildTest = ShownFormTest;

} // namespace

TEST_F(FitTest, APictureTooLargeAt100FitsAt90AfterOneNotice) {
    UseBoard(790, 560);
    const QString path = Jpeg(800, 600);
    ASSERT_TRUE(Form.LoadPicture(path, false));
    EXPECT_EQ(Form.ZoomPercent, 90);
    EXPECT_EQ(Form.PictureWidth, 720);
    EXPECT_EQ(Form.PictureHeight, 540);
    EXPECT_EQ(Form.Picture->Width(), 720);
    EXPECT_EQ(*Form.ThumbnailPicture, *Form.Picture);
    ASSERT_EQ(Messages.Calls.size(), 1u);
    EXPECT_EQ(Messages.Calls[0].Text, ZoomNotice);
    EXPECT_EQ(Messages.Calls[0].Icon, MessageIcon::Information);
    EXPECT_EQ(Form.PicturePath, path);

    ASSERT_TRUE(Form.LoadPicture(Form.PicturePath, false)); // a new game
    EXPECT_EQ(Messages.Calls.size(), 1u);
    EXPECT_EQ(Form.ZoomPercent, 90);
}

TEST_F(FitTest, APictureThatFitsIsCopiedOneToOne) {
    UseBoard(800, 601);
    ASSERT_TRUE(Form.LoadPicture(Jpeg(800, 600), false));
    EXPECT_TRUE(Messages.Calls.empty());
    EXPECT_EQ(Form.ZoomPercent, 100);
    EXPECT_EQ(Form.Picture->Width(), 800);
    EXPECT_EQ(Form.Picture->Height(), 600);
}

TEST_F(FitTest, AsWideAsTheClientFitsButAsHighDoesNot) {
    UseBoard(790, 560);
    ASSERT_TRUE(Form.LoadPicture(Jpeg(790, 100), false));
    EXPECT_EQ(Form.ZoomPercent, 100);
    ASSERT_TRUE(Form.LoadPicture(Jpeg(100, 560), false));
    EXPECT_EQ(Form.ZoomPercent, 90);
    EXPECT_EQ(Texts(), std::vector<QString>{ZoomNotice});
}

TEST_F(FitTest, APictureTooLargeEvenAt20IsUsedAt20) {
    UseBoard(790, 560);
    ASSERT_TRUE(Form.LoadPicture(Jpeg(6000, 100), false));
    EXPECT_EQ(Form.ZoomPercent, 20);
    EXPECT_EQ(Form.PictureWidth, 1200);
    EXPECT_EQ(Form.Picture->Width(), 1200);
}

TEST_F(FitTest, TheStretchTakesNearestPixels) {
    UseBoard(790, 560);
    ASSERT_TRUE(
        Form.LoadPicture(PictureFile("p.bmp", FileOf(PatternImage(800, 600), "BMP")), false));
    const QImage original = PatternImage(800, 600);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {719, 539}, {100, 77}}) {
        EXPECT_EQ(Form.Picture->At(x, y), original.pixel(x * 800 / 720, y * 600 / 540));
    }
}

TEST_F(FitTest, EveryTrailerZoomGivesTheNoticeAndStepsOrTooSmall) {
    const QString path = Jpeg(800, 600);
    constexpr int Max = std::numeric_limits<int>::max();
    constexpr int Min = std::numeric_limits<int>::min();
    // 800 x 600 pixels: the width passes 2^31 - 1 above a zoom of 268435455, the height above
    // 357913941, and both pass 2^32 above 536870911.
    for (const int zoom : {Min, -1, 0, 1}) {
        Messages.Calls.clear();
        UseBoard(790, 560);
        Form.ZoomPercent = zoom;
        EXPECT_NO_THROW(EXPECT_FALSE(Form.StartGame(path))) << zoom;
        EXPECT_EQ(Texts(), std::vector<QString>{TooSmall}) << zoom;
    }
    for (const int zoom :
         {268435455, 268435456, 357913941, 357913942, 500000000, 536870912, Max - 1, Max}) {
        Messages.Calls.clear();
        UseBoard(790, 560);
        Form.ZoomPercent = zoom;
        EXPECT_NO_THROW(EXPECT_TRUE(Form.StartGame(path))) << zoom;
        EXPECT_EQ(Texts(), std::vector<QString>{ZoomNotice}) << zoom;
        EXPECT_EQ(Form.ZoomPercent, 90) << zoom;
        ASSERT_TRUE(Form.ThumbnailPicture);
        EXPECT_EQ(Form.ThumbnailPicture->Width(), 720);
        EXPECT_EQ(Form.ThumbnailPicture->Height(), 540);
    }
    Messages.Calls.clear();
    UseBoard(790, 560);
    Form.ZoomPercent = 20;
    EXPECT_TRUE(Form.StartGame(path));
    EXPECT_TRUE(Messages.Calls.empty());
    EXPECT_EQ(Form.ZoomPercent, 20);
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
        EXPECT_TRUE(Form.GameOver);
        EXPECT_FALSE(Form.Picture);
        EXPECT_FALSE(Form.Pieces);
        EXPECT_TRUE(Form.PicturePath.isEmpty());
    }
    Messages.Calls.clear();
    Form.NewGameMenuClick(); // nothing to start from
    EXPECT_TRUE(Messages.Calls.empty());
    EXPECT_FALSE(Form.Pieces);
}

TEST_F(BuildTest, APictureTooSmallForTwoByTwoIsRefused) {
    Form.SetPuzzleType(2);
    const QString path = Jpeg(81, 500);
    EXPECT_FALSE(Form.StartGame(path));
    EXPECT_EQ(Texts(), std::vector<QString>{TooSmall});
    EXPECT_EQ(Messages.Calls[0].Icon, MessageIcon::Stop);
    EXPECT_FALSE(Form.Picture);
    EXPECT_TRUE(Form.ThumbnailPicture);
    EXPECT_EQ(Form.PicturePath, path);
    EXPECT_TRUE(Form.GameOver);
    EXPECT_FALSE(Form.Pieces);

    Messages.Calls.clear();
    EXPECT_TRUE(Form.StartGame(Jpeg(82, 82)));
    EXPECT_TRUE(Messages.Calls.empty());
    ASSERT_TRUE(Form.Pieces);
    EXPECT_EQ(Form.Pieces->Count(), 4u);
    EXPECT_FALSE(Form.GameOver);
}

TEST_F(BuildTest, ALevelWithoutEdgeStripsFailsOnceAndLeavesNothing) {
    Form.SetPuzzleType(12);
    const QString path = Jpeg(300, 200);
    EXPECT_FALSE(Form.StartGame(path));
    EXPECT_EQ(Texts(), std::vector<QString>{QStringLiteral("Cannot create puzzle.")});
    EXPECT_FALSE(Form.Picture);
    EXPECT_FALSE(Form.ThumbnailPicture);
    EXPECT_FALSE(Form.Pieces);
    EXPECT_EQ(Form.PicturePath, path);
    EXPECT_TRUE(Form.GameOver);
    ASSERT_TRUE(FormProgress);
    EXPECT_FALSE(FormProgress->isVisible());
    EXPECT_EQ(Form.BoardBuffer->At(3, 3), PixelFromColor(Form.BoardColor));
}

TEST_F(BuildTest, ATwoByTwoGridNumbersItsGroupsInBuildOrder) {
    Form.SetPuzzleType(1);
    ASSERT_TRUE(Form.StartGame(Jpeg(150, 150)));
    EXPECT_EQ(Form.Cols, 2);
    EXPECT_EQ(Form.Rows, 2);
    std::vector<int> groups;
    for (const auto& piece : *Form.Pieces) {
        groups.push_back(piece->GroupId);
        EXPECT_EQ(piece->HomeX, piece->Col * 80 - 16);
        EXPECT_EQ(piece->HomeY, piece->Row * 80 - 16);
    }
    EXPECT_EQ(groups, (std::vector<int>{4, 3, 2, 1})); // the last made lies at the bottom
    ASSERT_TRUE(FormProgress);
    EXPECT_EQ(FormProgress->ProgressBar->maximum(), 4);
    EXPECT_EQ(FormProgress->ProgressBar->value(), 4);
    EXPECT_TRUE(FormProgress->ButtonClose->isEnabled());
    EXPECT_TRUE(FormProgress->isVisible());
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
    Form.SetPuzzleType(2); // pitch 66
    ProgressWatcher watcher;
    Form.installEventFilter(&watcher);
    ASSERT_TRUE(Form.StartGame(Jpeg(8 * 66 - 14 + 20, 5 * 66 - 14 + 20)));
    ASSERT_EQ(Form.Cols, 8);
    ASSERT_EQ(Form.Rows, 5);
    ASSERT_GE(watcher.Positions.size(), 2u);
    EXPECT_EQ(watcher.Positions[watcher.Positions.size() - 2], 39);
    EXPECT_EQ(watcher.Positions.back(), 40);
    EXPECT_TRUE(std::is_sorted(watcher.Positions.begin(), watcher.Positions.end()));
    EXPECT_FALSE(watcher.ButtonEnabledWhileBuilding);
    EXPECT_TRUE(FormProgress->ButtonClose->isEnabled());
}

TEST_F(BuildTest, ScatterDrawsXThenYForEveryLonePiece) {
    ASSERT_TRUE(Form.StartGame(Jpeg(400, 300)));
    const int s = Form.PieceSize;
    auto first = Form.Pieces->begin();
    (*first)->GroupId = (*std::next(first))->GroupId; // two joined pieces stay where they are
    const TRect joined = (*first)->Bounds;

    struct Case {
        int BoardWidth;
        int BoardHeight;
    };
    for (const Case c : {Case{700, 500}, Case{s + 10, 500}, Case{50, 60}}) {
        UseBoard(c.BoardWidth - 1, c.BoardHeight);
        ProcessRandom().Seed(77);
        Random expected(77);
        const int rangeX = c.BoardWidth - s - 10;
        const int rangeY = c.BoardHeight - s - 10;
        Form.ScatterPieces();
        for (const auto& piece : *Form.Pieces) {
            if (piece->GroupId == (*first)->GroupId) {
                EXPECT_EQ(piece.get() == first->get() ? joined : piece->Bounds, piece->Bounds);
                continue;
            }
            const int x = rangeX == 0 ? 0 : expected.Next() % rangeX;
            const int y = rangeY == 0 ? 0 : expected.Next() % rangeY;
            EXPECT_EQ(piece->Bounds, (TRect{x, y, x + s, y + s})) << c.BoardWidth;
            EXPECT_GE(x, 0);
        }
        EXPECT_EQ((*first)->Bounds, joined);
    }
}

TEST_F(BuildTest, ArrangeShufflesThenLaysRowsAndLayers) {
    ASSERT_TRUE(Form.StartGame(Jpeg(500, 400)));
    const int s = Form.PieceSize; // 96
    UseBoard(339, 250);
    std::vector<int> order;
    for (const auto& piece : *Form.Pieces) {
        order.push_back(piece->GroupId);
    }
    ProcessRandom().Seed(2024);
    Random expected(2024);
    for (int pass = 0; pass < 10; ++pass) {
        // The walk has stepped past an element when it moves it, so moving the last one ends
        // the pass.
        for (std::size_t i = 0; i < order.size();) {
            if (expected.Next() % 2 == 0 && i + 1 < order.size()) {
                const int moved = order[i];
                order.erase(order.begin() + static_cast<std::ptrdiff_t>(i));
                order.push_back(moved);
            } else {
                ++i;
            }
        }
    }
    Form.ArrangePieces();

    // Two places a row (the third would leave less than a piece free), two rows a layer, and
    // each layer 10 pixels further right and down.
    const std::vector<std::pair<int, int>> places = {
        {10, 10}, {111, 10}, {10, 111}, {111, 111}, {20, 20}, {121, 20}, {20, 121}, {121, 121},
        {30, 30}, {131, 30}, {30, 131}, {131, 131}, {40, 40}, {141, 40}, {40, 141}, {141, 141}};
    std::size_t i = 0;
    for (const auto& piece : *Form.Pieces) {
        ASSERT_EQ(piece->GroupId, order[i]);
        if (i < places.size()) {
            const auto [x, y] = places[i];
            EXPECT_EQ(piece->Bounds, (TRect{x, y, x + s, y + s})) << i;
        }
        ++i;
    }
    EXPECT_GT(i, places.size() / 2);
}

TEST_F(BuildTest, AfterABuildTheWindowShowsTheBoardBuffer) {
    ASSERT_TRUE(Form.StartGame(Jpeg(400, 300)));
    ASSERT_EQ(Form.BoardBuffer->Width(), Form.ClientWidth() + 1);
    ASSERT_EQ(Form.BoardBuffer->Height(), Form.ClientHeight());
    const QImage shown = Form.Board->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.width(), Form.ClientWidth());
    int pieces = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            ASSERT_EQ(shown.pixel(x, y), Form.BoardBuffer->At(x, y)) << x << "," << y;
            pieces += Form.BoardBuffer->At(x, y) != PixelFromColor(Form.BoardColor);
        }
    }
    EXPECT_GT(pieces, 1000);
}

TEST_F(BuildTest, ANewGameCutsTheFreshlyLoadedPictureAgain) {
    ASSERT_TRUE(Form.StartGame(Jpeg(400, 300)));
    const Bitmap first = *Form.Picture;
    const std::size_t count = Form.Pieces->Count();
    Form.NewGameMenuClick();
    ASSERT_TRUE(Form.Pieces);
    EXPECT_EQ(Form.Pieces->Count(), count);
    EXPECT_EQ(Form.ThumbnailPicture->Width(), first.Width());
    EXPECT_FALSE(Form.GameOver);
    std::set<int> groups;
    for (const auto& piece : *Form.Pieces) {
        groups.insert(piece->GroupId);
    }
    EXPECT_EQ(groups.size(), count);
}
