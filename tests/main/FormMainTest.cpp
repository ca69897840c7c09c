#include "desktop/WindowKeeper.h"
#include "main/Application.h"
#include "main/BoardWidget.h"
#include "main/Main.h"
#include "main/MessageRecorder.h"
#include "main/Pictures.h"
#include "main/ShowForm.h"
#include "main/StartupReadAhead.h"
#include "package/TempFolder.h"
#include "picture/PictureFile.h"
#include "support/TestSupport.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class FormMainTest : public ::testing::Test {
protected:
    ScratchFolder Work;
    ScratchFolder Runtime;
    ScopedEnvironment Xdg{"XDG_RUNTIME_DIR", Runtime.Path().c_str()};
    MessageRecorder Messages;

    std::string Package(const Bytes& picture, const Bytes& song,
                        const std::vector<std::string>& extra = {}) {
        return MakePackage(Work, PayloadOf(2000, {0x7F, 'E', 'L', 'F'}), picture, song, extra);
    }

    std::string Temp(std::string_view name) const { return PlayerFile(Runtime.Path(), name); }

    static QRgb BoardPixel(TFormMain& form, int x, int y) {
        return form.BoardView()->grab().toImage().pixel(x, y);
    }
};

const Bytes Picture = JpegOf(200, 150);
const Bytes Song = ReadBytes(TAVRIN_SOURCE_DIR "/resources/demo/silent-night.mid");

} // namespace

TEST_F(FormMainTest, StartsWithTheDocumentedFieldValues) {
    TFormMain form(Work.File("none"));
    EXPECT_TRUE(form.FirstShowPending());
    EXPECT_TRUE(form.Game().GameOver());
    EXPECT_EQ(form.Game().PuzzleGrid().Cols, 0);
    EXPECT_EQ(form.Game().PuzzleGrid().Rows, 0);
    EXPECT_EQ(form.Game().Settings.ZoomPercent, 0);
    EXPECT_EQ(form.Game().Settings.Shape.PieceSize, 96);
    EXPECT_EQ(form.Game().Settings.Shape.TabSize, 16);
    EXPECT_EQ(form.Game().PuzzleGrid().MarginX, 0);
    EXPECT_EQ(form.Game().PuzzleGrid().MarginY, 0);
    EXPECT_EQ(form.Game().Settings.Shape.Type, 1);
    EXPECT_EQ(form.Game().Settings.ArrangeMode, 2);
    EXPECT_EQ(form.Game().Settings.BoardColor, 0x00808000u);
    EXPECT_FALSE(form.Game().Picture());
    EXPECT_FALSE(form.ThumbnailPicture());
    EXPECT_TRUE(form.Game().DrawnBoard().IsEmpty());
    EXPECT_TRUE(form.Game().DragBuffer().IsEmpty());
    EXPECT_TRUE(form.PicturePath().isEmpty());
}

TEST_F(FormMainTest, HasTheCaptionMenuAndShortcuts) {
    TFormMain form(Work.File("none"));
    EXPECT_EQ(form.windowTitle(), "Tavrin Christmas Edition");
    const auto menus = form.menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), "&Game");
    EXPECT_EQ(menus[1]->text(), "&Options");
    EXPECT_EQ(menus[2]->text(), "&Help");
    const auto game = form.Game1()->actions();
    ASSERT_EQ(game.size(), 3);
    EXPECT_EQ(game[0], form.NewGameMenu());
    EXPECT_EQ(form.NewGameMenu()->text(), "&New game");
    EXPECT_EQ(form.NewGameMenu()->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_TRUE(game[1]->isSeparator());
    EXPECT_EQ(form.ExitMenu()->text(), "E&xit");
    EXPECT_EQ(form.ShowThumbnailMenu()->text(), "Show &thumbnail");
    EXPECT_TRUE(form.ShowThumbnailMenu()->isCheckable());
    EXPECT_FALSE(form.ShowThumbnailMenu()->isChecked());
    EXPECT_EQ(form.AboutMenu()->text(), "&About");
    EXPECT_EQ(form.findChild<QAction*>("NewGameMenu"), form.NewGameMenu());
}

TEST_F(FormMainTest, TheWindowCannotBeMaximisedOrResized) {
    TFormMain form(Package(Picture, {}));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
    ShowForm(form);
    const QSize work = QGuiApplication::primaryScreen()->availableGeometry().size();
    // The frame the window system adds is taken into account: frame and all fill the work area.
    EXPECT_EQ(form.frameGeometry().size(), work);
    EXPECT_EQ(form.minimumSize(), form.size());
    EXPECT_EQ(form.maximumSize(), form.size());
}

TEST_F(FormMainTest, FirstShowSizesTheBoardAndAppliesThePackage) {
    TFormMain form(Package(
        Picture, Song, {"--type", "2", "--arrange", "1", "--zoom", "90", "--color", "0x00204080"}));
    PlaySongsIntoFile(form, Work.File("audio.raw"));
    ShowForm(form);
    EXPECT_FALSE(form.FirstShowPending());
    EXPECT_TRUE(Messages.Calls.empty());
    ASSERT_FALSE(form.Game().DrawnBoard().IsEmpty());
    EXPECT_EQ(form.Game().DrawnBoard().Width(), form.ClientWidth() + 1);
    EXPECT_EQ(form.Game().DrawnBoard().Height(), form.ClientHeight());
    EXPECT_TRUE(form.Game().DragBuffer().IsEmpty()); // until a group is picked up
    EXPECT_EQ(form.Game().Settings.Shape.Type, 2);
    EXPECT_EQ(form.Game().Settings.Shape.PieceSize, 80);
    EXPECT_EQ(form.Game().Settings.Shape.TabSize, 14);
    EXPECT_EQ(form.Game().Settings.ArrangeMode, 1);
    EXPECT_EQ(form.Game().Settings.ZoomPercent, 90);
    EXPECT_EQ(form.Game().Settings.BoardColor, 0x00204080u);
    EXPECT_EQ(form.MediaPlayer()->FileName.toStdString(), Temp("tavrin.mid"));
    EXPECT_EQ(ReadBytes(Temp("tavrin.jpg")), Picture);
    EXPECT_EQ(ReadBytes(Temp("tavrin.mid")), Song);
    EXPECT_EQ(BoardPixel(form, form.ClientWidth() - 1, form.ClientHeight() - 1) >> 24, 0xFFu);
    ASSERT_TRUE(form.Game().Pieces());
    EXPECT_FALSE(form.Game().GameOver());
    EXPECT_EQ(form.PicturePath().toStdString(), Temp("tavrin.jpg"));
}

TEST_F(FormMainTest, TrailerTypesAreNormalised) {
    // tavrin-pack refuses these types, so the packages are made by hand.
    for (const auto& [given, type, piece, tab] : std::vector<std::tuple<int, int, int, int>>{
             {0, 3, 64, 10}, {7, 3, 64, 10}, {-56, 3, 64, 10}, {12, 12, 48, 8}}) {
        PackageTrailer trailer;
        trailer.PuzzleType = static_cast<std::int8_t>(given);
        TFormMain form(
            AssemblePackage(Work, PayloadOf(2000, {0x7F, 'E', 'L', 'F'}), Picture, {}, trailer));
        ShowForm(form);
        EXPECT_EQ(form.Game().Settings.Shape.Type, type) << given;
        EXPECT_EQ(form.Game().Settings.Shape.PieceSize, piece) << given;
        EXPECT_EQ(form.Game().Settings.Shape.TabSize, tab) << given;
    }
}

TEST_F(FormMainTest, APackageWithoutASongKeepsTheBareSongName) {
    TFormMain form(Package(Picture, {}));
    ShowForm(form);
    EXPECT_EQ(form.MediaPlayer()->FileName, "tavrin.mid");
    EXPECT_FALSE(FileExists(Temp("tavrin.mid")));
}

TEST_F(FormMainTest, TheStartMessageIsShownOnceAsANotice) {
    TFormMain form(Package(Picture, {}, {"--message", "Frohe Weihnachten – С Рождеством! 🎄"}));
    ShowForm(form);
    form.hide();
    ShowForm(form);
    ASSERT_EQ(Messages.Calls.size(), 1u);
    EXPECT_EQ(Messages.Calls[0].Text, QString::fromUtf8("Frohe Weihnachten – С Рождеством! 🎄"));
    EXPECT_EQ(Messages.Calls[0].Caption, "Tavrin");
    EXPECT_EQ(Messages.Calls[0].Icon, MessageIcon::Information);
}

TEST_F(FormMainTest, ShowingAgainDoesNotReadThePackageAgain) {
    TFormMain form(Package(Picture, Song));
    ShowForm(form);
    std::remove(Temp("tavrin.jpg").c_str());
    form.hide();
    ShowForm(form);
    EXPECT_FALSE(FileExists(Temp("tavrin.jpg")));
}

TEST_F(FormMainTest, PackageFailuresAreReportedAndLeaveAnEmptyBoard) {
    const std::string damaged = Package(Picture, Song);
    Bytes bytes = ReadBytes(damaged);
    bytes[bytes.size() - 284 + 263] = 0x80; // a negative song size
    WriteBytes(damaged, bytes);
    struct Case {
        std::string Path;
        QString Message;
    };
    for (const Case& c :
         {Case{Work.File("missing"), "Cannot read the image. Please contact your vendor."},
          Case{damaged, "Cannot read the image because the midi file could be corrupted."}}) {
        Messages.Calls.clear();
        TFormMain form(c.Path);
        ShowForm(form);
        ASSERT_EQ(Messages.Calls.size(), 1u);
        EXPECT_EQ(Messages.Calls[0].Text, c.Message);
        EXPECT_EQ(Messages.Calls[0].Caption, "Tavrin");
        EXPECT_EQ(Messages.Calls[0].Icon, MessageIcon::Stop);
        EXPECT_TRUE(form.Game().GameOver());
        ASSERT_FALSE(form.Game().DrawnBoard().IsEmpty());
        EXPECT_EQ(BoardPixel(form, 5, 5), qRgb(0, 0x80, 0x80));
    }
}

TEST_F(FormMainTest, PaintingBeforeAnyBufferShowsTheBoardColour) {
    TFormMain form(Work.File("none"));
    form.Game().Settings.BoardColor = 0x000000FF;
    EXPECT_EQ(BoardPixel(form, 0, 0), qRgb(0xFF, 0, 0));
}

TEST_F(FormMainTest, ClosingDeletesTheTemporaryFiles) {
    TFormMain form(Package(Picture, Song));
    ShowForm(form);
    WriteBytes(Temp("tavrin.bmp"), Bytes{1});
    ASSERT_TRUE(FileExists(Temp("tavrin.jpg")));
    form.ExitMenu()->trigger();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(FileExists(Temp("tavrin.jpg")));
    EXPECT_FALSE(FileExists(Temp("tavrin.mid")));
    EXPECT_FALSE(FileExists(Temp("tavrin.bmp")));
}

// The package read on another thread while the toolkit starts, and its JPEG decoded from the
// bytes in memory once the toolkit has started: what reading it later gives, handed over once.
TEST_F(FormMainTest, APackageReadAheadGivesWhatReadingItLaterGives) {
    StartupReadAhead ahead(Package(Picture, Song));
    ahead.ToolkitStarted();
    const PackagePayloads read = ahead.TakePackage();
    ASSERT_TRUE(read.Status().Ok());
    EXPECT_EQ(*read.Picture, Picture);
    EXPECT_EQ(*read.Song, Song);
    const std::optional<DecodedPicture> picture = ahead.TakePicture();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Pixels, DecodePictureFile(Picture, "tavrin.jpg"));
    EXPECT_EQ(ahead.TakePicture(), std::nullopt); // a new game reads the file

    auto readAhead = std::make_unique<StartupReadAhead>(Package(Picture, {}));
    readAhead->ToolkitStarted();
    TFormMain shown(std::move(readAhead));
    ShowForm(shown);
    for (const auto& call : Messages.Calls) {
        ADD_FAILURE() << "message: " << call.Text.toStdString();
    }
    ASSERT_TRUE(shown.Game().Picture());
    EXPECT_EQ(shown.Game().Picture()->Width(), 200);
    EXPECT_GT(shown.Game().Pieces()->Count(), 0u);
    EXPECT_EQ(ReadBytes(Temp("tavrin.jpg")), Picture);
}

// A large picture read ahead is decoded no larger than the largest board on the screen needs.
// The player goes by its full size: its notice and puzzle are those of a whole decoding.
TEST_F(FormMainTest, ALargePictureReadAheadIsDecodedSmallerForTheSamePuzzle) {
    const std::string package = Package(JpegOf(1600, 1200), {});
    const QSize workArea = WorkAreaInDevicePixels();
    const BoardSize largest = BoardOfClientArea(workArea.width(), workArea.height());
    std::vector<std::vector<int>> puzzles;
    std::vector<std::vector<QString>> told;
    for (const bool whole : {true, false}) {
        auto readAhead = std::make_unique<StartupReadAhead>(package);
        whole ? readAhead->ToolkitStarted() : readAhead->ToolkitStarted(largest);
        TFormMain form(std::move(readAhead));
        Messages.Calls.clear();
        ShowForm(form);
        const Board& game = form.Game();
        ASSERT_TRUE(game.Pieces());
        const Grid& grid = game.PuzzleGrid();
        puzzles.push_back({game.Settings.ZoomPercent, grid.Cols, grid.Rows, grid.MarginX,
                           grid.MarginY, game.Picture()->Width(), game.Picture()->Height(),
                           form.ThumbnailPicture()->Width(), form.ThumbnailPicture()->Height()});
        told.emplace_back();
        for (const auto& call : Messages.Calls) {
            told.back().push_back(call.Text);
        }
    }
    EXPECT_EQ(puzzles[0], puzzles[1]);
    EXPECT_EQ(told[0], told[1]);
    EXPECT_EQ(told[0], std::vector<QString>{QStringLiteral(
                           "The image will be zoomed out because it is too large.")});

    StartupReadAhead ahead(package);
    ahead.ToolkitStarted(largest);
    const std::optional<DecodedPicture> reduced = ahead.TakePicture();
    ASSERT_TRUE(reduced);
    EXPECT_EQ(reduced->Full, (PictureSize{1600, 1200}));
    EXPECT_LT(reduced->Pixels.Width(), 1600);
    EXPECT_GE(reduced->Pixels.Width(), puzzles[0][5]);
}

TEST_F(FormMainTest, ClosingWithoutTemporaryFilesIsQuiet) {
    TFormMain form(Work.File("none"));
    ShowForm(form);
    Messages.Calls.clear();
    form.close();
    EXPECT_TRUE(Messages.Calls.empty());
}

// Closing only deletes: a private folder that was never made is not made for it.
TEST_F(FormMainTest, ClosingMakesNoTemporaryFolder) {
    const ScratchFolder tmp;
    const ScopedEnvironment noRuntime("XDG_RUNTIME_DIR", nullptr);
    const ScopedEnvironment tmpdir("TMPDIR", tmp.Path().c_str());
    TFormMain form(Work.File("none"));
    form.FormClose();
    EXPECT_TRUE(std::filesystem::is_empty(tmp.Path()));
}

// The files go from where they were written, also when the runtime folder named by the
// environment appears only after the player wrote to its fallback folder.
TEST_F(FormMainTest, ClosingDeletesTheFilesWhereTheyWereWritten) {
    const ScratchFolder tmp;
    const std::string runtime = Work.File("runtime-not-yet");
    const ScopedEnvironment lateRuntime("XDG_RUNTIME_DIR", runtime.c_str());
    const ScopedEnvironment tmpdir("TMPDIR", tmp.Path().c_str());
    TFormMain form(Package(Picture, Song));
    ShowForm(form);
    const std::string fallback = tmp.File("tavrin-" + std::to_string(getuid()));
    ASSERT_TRUE(FileExists(PlayerFile(fallback, "tavrin.jpg")));
    std::filesystem::create_directory(runtime, Work.Path());
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    form.ExitMenu()->trigger();
    EXPECT_TRUE(std::filesystem::is_empty(fallback));
}

namespace {

class Throwing : public QObject {
public:
    bool event(QEvent*) override { throw std::runtime_error("Out of cheese."); }
};

} // namespace

TEST_F(FormMainTest, AnExceptionFromAHandlerIsShownAndTheProgramGoesOn) {
    Throwing target;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&target, &event));
    ASSERT_EQ(Messages.Calls.size(), 1u);
    EXPECT_EQ(Messages.Calls[0].Text, "Out of cheese.");
    EXPECT_EQ(Messages.Calls[0].Icon, MessageIcon::Stop);
}
