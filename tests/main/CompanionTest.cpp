#include "desktop/Placement.h"
#include "main/BoardWidget.h"
#include "main/FormFixture.h"
#include "main/LinkCatcher.h"
#include "windows/About.h"
#include "windows/Orgwnd.h"
#include "windows/WebLinks.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

using ThumbnailTest = ShownFormTest;
using AboutTest = ShownFormTest;

QImage Shown(QWidget& window) {
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool AllWhite(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

TEST(ThumbnailPlacement, SitsOnePixelInsideTheWorkAreasCorner) {
    EXPECT_EQ(CornerPosition(QRect(0, 0, 1024, 740), QSize(330, 262)), QPoint(693, 477));
    EXPECT_EQ(CornerPosition(QRect(100, 20, 800, 600), QSize(100, 50)), QPoint(799, 569));
}

TEST_F(ThumbnailTest, OpensAtHalfThePictureAndTogglesWithTheMenu) {
    ASSERT_TRUE(Form.StartGame(Jpeg(641, 480)));
    Form.ShowThumbnailMenu()->trigger();
    ASSERT_TRUE(Form.OrgWindow());
    EXPECT_TRUE(Form.ShowThumbnailMenu()->isChecked());
    EXPECT_EQ(Form.OrgWindow()->size(), QSize(320, 240));
    EXPECT_EQ(Form.OrgWindow()->windowTitle(), "Thumbnail");
    EXPECT_TRUE(Form.OrgWindow()->windowFlags() & Qt::WindowStaysOnTopHint);
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(Form.OrgWindow()->frameGeometry().bottomRight(),
              QPoint(work.right() - 1, work.bottom() - 1));
    Form.ShowThumbnailMenu()->trigger();
    EXPECT_FALSE(Form.OrgWindow());
    EXPECT_FALSE(Form.ShowThumbnailMenu()->isChecked());
    EXPECT_FALSE(Form.HoldsThumbnailCopy()); // its picture-sized copy goes with it
}

TEST_F(ThumbnailTest, ShowsTheWholePictureStretchedToItsClientArea) {
    ASSERT_TRUE(Form.StartGame(Jpeg(640, 480)));
    Form.ShowThumbnailMenuClick();
    Form.OrgWindow()->resize(400, 100);
    const QImage shown = Shown(*Form.OrgWindow());
    ASSERT_EQ(shown.size(), QSize(400, 100));
    const Bitmap expected = StretchNearest(*Form.ThumbnailPicture(), 400, 100);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {399, 99}, {123, 45}}) {
        EXPECT_EQ(shown.pixel(x, y), expected.At(x, y)) << x << "," << y;
    }
}

TEST_F(ThumbnailTest, ClosingItsOwnWindowClearsTheCheckAndTheNextCommandOpensANewOne) {
    ASSERT_TRUE(Form.StartGame(Jpeg(300, 200)));
    Form.ShowThumbnailMenuClick();
    QPointer<TOrgWindow> first = Form.OrgWindow();
    first->close();
    EXPECT_FALSE(Form.OrgWindow());
    EXPECT_FALSE(Form.ShowThumbnailMenu()->isChecked());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first); // released after its close handling
    Form.ShowThumbnailMenuClick();
    EXPECT_TRUE(Form.OrgWindow());
    EXPECT_TRUE(Form.ShowThumbnailMenu()->isChecked());
}

TEST_F(ThumbnailTest, ANewGameResizesItAndAFailedOneLeavesItWhite) {
    const QString path = Jpeg(400, 300);
    ASSERT_TRUE(Form.StartGame(path));
    Form.ShowThumbnailMenuClick();
    const QPoint corner = Form.OrgWindow()->pos();
    Form.OrgWindow()->move(10, 10);
    Form.OrgWindow()->resize(90, 90);
    Form.NewGameMenuClick();
    EXPECT_EQ(Form.OrgWindow()->size(), QSize(200, 150));
    EXPECT_EQ(Form.OrgWindow()->pos(), corner);
    EXPECT_FALSE(AllWhite(Shown(*Form.OrgWindow())));

    WriteBytes(path.toStdString(), PayloadOf(100, {'x'}));
    Form.NewGameMenuClick();
    EXPECT_EQ(Form.OrgWindow()->size(), QSize(200, 150));
    EXPECT_TRUE(AllWhite(Shown(*Form.OrgWindow())));
}

TEST_F(ThumbnailTest, APictureWithNothingAtHalfSizeShowsWhiteLikeNoPicture) {
    Form.ShowThumbnailMenuClick(); // no picture yet
    ASSERT_TRUE(Form.OrgWindow());
    const QSize loaded = Form.OrgWindow()->size();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.OrgWindow()));
    Form.ShowThumbnailMenuClick();

    struct Case {
        QString Path;
        int Zoom;
    };
    for (const Case& c :
         {Case{Jpeg(1, 118), 100}, Case{Jpeg(400, 300), 0}, Case{Jpeg(400, 300), -5}}) {
        Form.Game().Settings.ZoomPercent = c.Zoom;
        EXPECT_FALSE(Form.StartGame(c.Path)); // too small for a puzzle
        Form.ShowThumbnailMenuClick();
        ASSERT_TRUE(Form.OrgWindow());
        EXPECT_TRUE(Form.ShowThumbnailMenu()->isChecked());
        EXPECT_EQ(Form.OrgWindow()->size(), loaded) << c.Zoom;
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.OrgWindow(), 1000)) << c.Zoom;
        EXPECT_TRUE(AllWhite(Shown(*Form.OrgWindow())));
        Form.ShowThumbnailMenuClick();
    }
}

TEST_F(ThumbnailTest, AReleasedPictureIsNeverPainted) {
    TOrgWindow window(&Form, {});
    auto picture = std::make_shared<Bitmap>(60, 40);
    picture->Fill(MakePixel(10, 20, 30));
    window.SetPicture(picture);
    EXPECT_EQ(window.size(), QSize(30, 20));
    EXPECT_EQ(Shown(window).pixel(5, 5), qRgb(10, 20, 30));
    picture.reset();
    EXPECT_TRUE(AllWhite(Shown(window)));
}

TEST_F(AboutTest, EachCommandShowsAFreshModalDialog) {
    LinkCatcher links;
    std::vector<QPointer<TFormAbout>> shown;
    bool linkLeftItOpen = false;
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, [&] {
            TFormAbout* about = Form.findChild<TFormAbout*>();
            ASSERT_TRUE(about);
            shown.push_back(about);
            EXPECT_TRUE(about->isModal());
            EXPECT_EQ(about->size(), QSize(288, 361));
            EXPECT_EQ(about->windowTitle(), "About");
            EXPECT_EQ(about->Label1->text(), "Tavrin Christmas Edition");
            EXPECT_EQ(about->Label2->text(), "Version 5.5");
            EXPECT_TRUE(about->BitBtn1->isDefault());
            EXPECT_FALSE(about->Label4->isVisible()); // no web page to lead to
            QTest::mouseClick(about->Label4, Qt::LeftButton);
            linkLeftItOpen = about->isVisible();
            QTest::mouseClick(about->BitBtn1, Qt::LeftButton);
        });
        Form.AboutMenu()->trigger();
    }
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_FALSE(shown[0]);
    EXPECT_FALSE(shown[1]);
    EXPECT_TRUE(linkLeftItOpen);
    EXPECT_TRUE(links.Opened.empty());
}
