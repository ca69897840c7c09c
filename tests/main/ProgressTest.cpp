#include "windows/Progress.h"

#include "main/FormFixture.h"
#include "main/LinkCatcher.h"
#include "windows/WebLinks.h"

#include <QDesktopServices>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {

using ProgressTest = ShownFormTest;

} // namespace

TEST_F(ProgressTest, HasTheLoadingWindowsLayout) {
    TFormProgress progress(&Form);
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
    EXPECT_TRUE(progress.Label4->font().underline());
    EXPECT_EQ(progress.Label4->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(progress.font().pixelSize(), 11);
    EXPECT_TRUE(progress.Label7->wordWrap());
}

TEST_F(ProgressTest, LinksOpenTheirPagesAndLeaveTheWindowAsItIs) {
    LinkCatcher links;
    TFormProgress progress(&Form);
    progress.show();
    const QRect before = progress.geometry();
    QTest::mouseClick(progress.Label4, Qt::LeftButton);
    QTest::mouseClick(progress.Image1, Qt::LeftButton);
    QTest::mouseClick(progress.Label6, Qt::LeftButton);
    QTest::mouseClick(progress.Label5, Qt::LeftButton);
    EXPECT_EQ(links.Opened, (std::vector<QString>{WebLinks::HomePage, WebLinks::ProductPage,
                                                  WebLinks::PictureArtist, WebLinks::MusicAuthor}));
    EXPECT_TRUE(progress.isVisible());
    EXPECT_EQ(progress.geometry(), before);
}

TEST_F(ProgressTest, TheStartButtonHidesTheWindowAndLeavesTheBoardAlone) {
    ASSERT_TRUE(Form.StartGame(Jpeg(300, 200)));
    QPointer<TFormProgress> progress = FormProgress;
    ASSERT_TRUE(progress && progress->isVisible());
    const Bitmap board = *Form.BoardBuffer;
    QTest::mouseClick(progress->ButtonClose, Qt::LeftButton);
    EXPECT_FALSE(progress->isVisible());
    EXPECT_EQ(*Form.BoardBuffer, board);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(progress); // it never shows again, so it is released
}

TEST_F(ProgressTest, ANewGameShowsANewLoadingWindowOverTheOldOne) {
    ASSERT_TRUE(Form.StartGame(Jpeg(300, 200)));
    QPointer<TFormProgress> first = FormProgress;
    Form.NewGameMenuClick();
    ASSERT_TRUE(first);
    EXPECT_NE(FormProgress.data(), first.data());
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(FormProgress->isVisible());
    EXPECT_EQ(FormProgress->pos(), first->pos());
}
