#include "windows/Progress.h"

#include "main/FormFixture.h"
#include "main/LinkCatcher.h"
#include "package/PackageCredits.h"
#include "windows/WebLinks.h"

#include <QDesktopServices>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QUrl>

namespace {

class ProgressTest : public ShownFormTest {
protected:
    PackageCredits Lines;
};

const PackageCredits Credits = {"Harbour at dawn", "Picture: Ann Example",
                                "https://example.org/ann", "Music: Bob Example",
                                "http://example.org/bob"};

// Whether the window, as drawn, has dark (text) pixels where `label` sits.
bool ShowsTextAt(TFormProgress& window, const QLabel* label) {
    const QImage shot = window.grab().toImage();
    const QRect area(label->mapTo(&window, QPoint(0, 0)), QSize(150, label->height()));
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(shot.pixel(x, y)) < 96) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

TEST_F(ProgressTest, HasTheLoadingWindowsLayout) {
    TFormProgress progress(&Form, Lines);
    EXPECT_EQ(progress.size(), QSize(321, 373));
    EXPECT_TRUE(progress.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(progress.windowTitle(), "Tavrin Christmas Edition");
    EXPECT_EQ(progress.ButtonClose->text(), "&Start the game");
    EXPECT_FALSE(progress.ButtonClose->isEnabled());
    EXPECT_EQ(progress.ButtonClose->geometry(), QRect(8, 340, 305, 25));
    EXPECT_EQ(progress.ProgressBar->geometry(), QRect(8, 320, 305, 17));
    EXPECT_EQ(progress.ProgressBar->maximum(), 100);
    EXPECT_EQ(progress.Image1->pixmap().size(), QSize(299, 134));
    EXPECT_TRUE(progress.Label6->font().underline());
    EXPECT_EQ(progress.Label6->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(progress.font().pixelSize(), 11);
    EXPECT_TRUE(progress.Label7->wordWrap());
}

TEST_F(ProgressTest, LinksOpenTheirPagesAndLeaveTheWindowAsItIs) {
    LinkCatcher links;
    Lines = Credits;
    TFormProgress progress(&Form, Lines);
    progress.show();
    const QRect before = progress.geometry();
    QTest::mouseClick(progress.Image1, Qt::LeftButton); // the banner leads nowhere
    QTest::mouseClick(progress.Label6, Qt::LeftButton);
    QTest::mouseClick(progress.Label5, Qt::LeftButton);
    EXPECT_EQ(links.Opened,
              (std::vector<QString>{"https://example.org/ann", "http://example.org/bob"}));
    EXPECT_TRUE(progress.isVisible());
    EXPECT_EQ(progress.geometry(), before);
}

// A link opens on a click: the left button pressed and released over it. Any other button, a
// press without its release, or a release away from the link opens nothing.
TEST_F(ProgressTest, OnlyALeftClickOnALinkOpensIt) {
    LinkCatcher links;
    Lines = Credits;
    TFormProgress progress(&Form, Lines);
    progress.show();
    QLabel* link = progress.Label6;
    QTest::mouseClick(link, Qt::RightButton);
    QTest::mouseClick(link, Qt::MiddleButton);
    QTest::mousePress(link, Qt::LeftButton);
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 20, 5));
    QTest::mouseRelease(link, Qt::LeftButton);
    EXPECT_TRUE(links.Opened.empty());
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(links.Opened, std::vector<QString>{"https://example.org/ann"});
}

// The credit panels have an outer bevel lowered and an inner one raised: from the top-left
// corner inwards, a dark line, then a light one.
TEST_F(ProgressTest, PanelsHaveATwoPixelEtchedBevel) {
    TFormProgress progress(&Form, Lines);
    progress.show();
    const QImage panel = progress.Panel3->grab().toImage();
    const int w = panel.width();
    const int h = panel.height();
    const auto across = [&](int x) { return panel.pixel(x, h / 2); };
    const auto down = [&](int y) { return panel.pixel(w / 2, y); };
    EXPECT_LT(qGray(across(0)), qGray(across(1))) << "dark outside, light inside";
    EXPECT_EQ(across(0), across(w - 2));
    EXPECT_EQ(across(1), across(w - 1));
    EXPECT_EQ(down(0), across(0));
    EXPECT_EQ(down(h - 2), across(0));
    EXPECT_EQ(down(1), across(1));
    EXPECT_EQ(down(h - 1), across(1));
    EXPECT_NE(across(2), across(1)) << "the bevel is two pixels wide";
}

TEST_F(ProgressTest, TheStartButtonHidesTheWindowAndLeavesTheBoardAlone) {
    ASSERT_TRUE(Form.StartGame(Jpeg(300, 200)));
    QPointer<TFormProgress> progress = Form.FormProgress();
    ASSERT_TRUE(progress && progress->isVisible());
    const Bitmap board = Form.Game().DrawnBoard();
    QTest::mouseClick(progress->ButtonClose, Qt::LeftButton);
    EXPECT_FALSE(progress->isVisible());
    EXPECT_EQ(Form.Game().DrawnBoard(), board);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(progress); // it never shows again, so it is released
}

TEST_F(ProgressTest, ANewGameShowsANewLoadingWindowOverTheOldOne) {
    ASSERT_TRUE(Form.StartGame(Jpeg(300, 200)));
    QPointer<TFormProgress> first = Form.FormProgress();
    Form.NewGameMenuClick();
    ASSERT_TRUE(first);
    EXPECT_NE(Form.FormProgress(), first.data());
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(Form.FormProgress()->isVisible());
    EXPECT_EQ(Form.FormProgress()->pos(), first->pos());
}

TEST_F(ProgressTest, ShowsThePackagesCreditLinesAsPlainText) {
    Lines = Credits;
    Lines.MusicCredit = "<b>Bob</b> &amp; <a href=x>co</a>";
    TFormProgress progress(&Form, Lines);
    progress.show();
    EXPECT_EQ(progress.Label1->text(), "Harbour at dawn");
    EXPECT_EQ(progress.Label2->text(), "Picture: Ann Example");
    EXPECT_EQ(progress.Label6->text(), "https://example.org/ann");
    EXPECT_EQ(progress.Label3->text(), QString::fromStdString(Lines.MusicCredit));
    EXPECT_EQ(progress.Label5->text(), "http://example.org/bob");
    for (const QLabel* label :
         {progress.Label1, progress.Label2, progress.Label3, progress.Label5, progress.Label6}) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        EXPECT_TRUE(label->isVisible());
        EXPECT_TRUE(ShowsTextAt(progress, label)) << label->text().toStdString();
    }
}

TEST_F(ProgressTest, WithoutCreditsOnlyANeutralTitleShows) {
    LinkCatcher links;
    TFormProgress progress(&Form, Lines);
    progress.show();
    EXPECT_EQ(progress.Label1->text(), "Tavrin jigsaw puzzle");
    EXPECT_TRUE(ShowsTextAt(progress, progress.Label1));
    for (const QLabel* label :
         {progress.Label4, progress.Label2, progress.Label3, progress.Label5, progress.Label6}) {
        EXPECT_FALSE(label->isVisible());
        EXPECT_FALSE(ShowsTextAt(progress, label)) << "something drawn where no credit is";
    }
    progress.Label6Click();
    progress.Label5Click();
    EXPECT_TRUE(links.Opened.empty());
}

TEST_F(ProgressTest, ALongCreditLineIsCutToThePanelWithTheWholeLineAsATip) {
    const std::string line = "<b>" + std::string(117, 'W');
    Lines.PictureCredit = line;
    TFormProgress progress(&Form, Lines);
    progress.show();
    EXPECT_LE(progress.Label2->geometry().right(), progress.Panel3->width() - 8);
    EXPECT_TRUE(progress.Label2->text().endsWith(QChar(0x2026)));
    // The tip shows the line as it stands, markup and all.
    QTextDocument tip;
    tip.setHtml(progress.Label2->toolTip());
    EXPECT_EQ(tip.toPlainText().toStdString(), line);
}

TEST_F(ProgressTest, APackagesCreditsReachItsLoadingWindow) {
    std::vector<std::string> options = {"--title", "Harbour at dawn", "--picture-credit",
                                        "Picture: Ann Example"};
    const std::string package =
        MakePackage(Work, PayloadOf(2000, {0x7F, 'E', 'L', 'F'}), JpegOf(200, 150), {}, options);
    TFormMain form(package);
    ShowForm(form);
    ASSERT_TRUE(form.FormProgress());
    EXPECT_EQ(form.FormProgress()->Label1->text(), "Harbour at dawn");
    EXPECT_EQ(form.FormProgress()->Label2->text(), "Picture: Ann Example");
    EXPECT_FALSE(form.FormProgress()->Label3->isVisible());
    form.close();
}
