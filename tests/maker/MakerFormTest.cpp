// The Puzzle Maker's form driven as a user does, on Qt's offscreen platform: what it saves is
// what tavrin-pack writes with the same choices, and what the tool refuses the window shows in
// the tool's words.
#include "MakerForm.h"

#include "MakerWords.h"
#include "MakerWork.h"
#include "main/CameraPictures.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

const DefaultPlayers BuiltPlayers{TAVRIN_PORTABLE_IMAGE, TAVRIN_LEAN_IMAGE};

// A photo of width x height with some detail, written as a JPEG.
std::string WritePhoto(const ScratchFolder& folder, const std::string& name, int width,
                       int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            row[x] = qRgb(x * 255 / width, y * 255 / height, (x ^ y) & 0xFF);
        }
    }
    const std::string path = folder.File(name);
    EXPECT_TRUE(image.save(QString::fromStdString(path), "JPEG", 90));
    return path;
}

// Each test's form starts with nothing remembered (main keeps the settings out of the user's).
struct NothingRemembered {
    NothingRemembered() { QSettings("tavrin", "tavrin-maker").clear(); }
};

class MakerFormTest : public ::testing::Test {
protected:
    NothingRemembered Fresh;
    ScratchFolder Work;
    MakerForm Form{BuiltPlayers};
    std::vector<Question> Asked;

    // Questions are answered with `answer`, and kept.
    void Answer(QMessageBox::StandardButton answer) {
        Form.Ask = [this, answer](const Question& question) {
            Asked.push_back(question);
            return answer;
        };
    }

    void SetUp() override {
        Form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
    }

    // Types `text` into the focused `widget` one character at a time, as a keyboard would.
    static void Type(QWidget* widget, const QString& text) {
        widget->setFocus();
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }

    void ChooseLean() {
        auto* lean = Child<QCheckBox>("leanCheck");
        lean->setFocus();
        QTest::keyClick(lean, Qt::Key_Space);
        ASSERT_TRUE(lean->isChecked());
    }

    template <typename T>
    T* Child(const char* name) {
        T* child = Form.findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    std::string Status() { return Child<QLabel>("statusLabel")->text().toStdString(); }

    void OpenPhoto(const std::string& path) {
        QSignalSpy opened(&Form, &MakerForm::PhotoOpened);
        Form.OpenPhoto(QString::fromStdString(path));
        ASSERT_TRUE(opened.wait(60000));
    }

    // Clicks the board colour button and picks `color` in the colour dialog it opens.
    void ChooseColor(const QColor& color) {
        QTimer::singleShot(0, [color] {
            auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->setCurrentColor(color);
            dialog->accept();
        });
        QTest::mouseClick(Child<QPushButton>("colorButton"), Qt::LeftButton);
    }

    // Saves through the Save button, answering the save dialog with `output`.
    bool Save(const std::string& output) {
        Form.AskSavePath = [output](const QString&) { return QString::fromStdString(output); };
        QSignalSpy written(&Form, &MakerForm::PuzzleWritten);
        QTest::mouseClick(Child<QPushButton>("saveButton"), Qt::LeftButton);
        if (written.isEmpty() && !written.wait(120000)) {
            ADD_FAILURE() << "the puzzle was never written";
            return false;
        }
        return written.first().first().toBool();
    }

    // Sets every choice the form has, as a user would, and returns the same choices as
    // tavrin-pack's arguments.
    std::vector<std::string> ChooseEverything(const std::string& photo, const std::string& song) {
        OpenPhoto(photo);
        Form.OpenSong(QString::fromStdString(song));
        Child<QComboBox>("typeChoice")->setCurrentIndex(1);
        Child<QComboBox>("arrangeChoice")->setCurrentIndex(1);
        ChooseColor(QColor(0x12, 0x34, 0x56));
        Type(Child<QLineEdit>("messageEdit"), QString::fromUtf8("С Рождеством!"));
        QTest::keyClicks(Child<QLineEdit>("titleEdit"), "Our garden");
        QTest::keyClicks(Child<QLineEdit>("pictureCreditEdit"), "Photo: Ann");
        QTest::keyClicks(Child<QLineEdit>("pictureLinkEdit"), "https://example.org/ann");
        QTest::keyClicks(Child<QLineEdit>("musicCreditEdit"), "Music: a carol");
        QTest::keyClicks(Child<QLineEdit>("musicLinkEdit"), "https://example.org/carol");
        return {"--picture",        photo,
                "--song",           song,
                "--type",           "2",
                "--arrange",        "1",
                "--color",          "#123456",
                "--message",        "С Рождеством!",
                "--title",          "Our garden",
                "--picture-credit", "Photo: Ann",
                "--picture-link",   "https://example.org/ann",
                "--music-credit",   "Music: a carol",
                "--music-link",     "https://example.org/carol"};
    }
};

} // namespace

TEST_F(MakerFormTest, SavedLeanPuzzleIsByteForByteWhatTavrinPackWrites) {
    WriteBytes(Work.File("carol.mid"), MidiSongOf(4000));
    std::vector<std::string> args =
        ChooseEverything(WritePhoto(Work, "garden.jpg", 900, 600), Work.File("carol.mid"));
    ChooseLean();
    ASSERT_TRUE(Save(Work.File("from-maker"))) << Status();

    args.insert(args.end(), {"--lean", "-o", Work.File("from-pack")});
    const CommandResult packed = RunPackTool(args);
    ASSERT_EQ(packed.ExitCode, 0) << packed.Err;
    const Bytes fromMaker = ReadBytes(Work.File("from-maker"));
    EXPECT_EQ(fromMaker.size(), ReadBytes(Work.File("from-pack")).size());
    EXPECT_TRUE(fromMaker == ReadBytes(Work.File("from-pack")));
}

TEST_F(MakerFormTest, SavedPortablePuzzleIsByteForByteWhatTavrinPackWrites) {
    WriteBytes(Work.File("carol.mid"), MidiSongOf(4000));
    std::vector<std::string> args =
        ChooseEverything(WritePhoto(Work, "garden.jpg", 640, 480), Work.File("carol.mid"));
    // The 28 MB are written while the window goes on: a timer keeps firing meanwhile.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(0);
    ASSERT_TRUE(Save(Work.File("from-maker"))) << Status();
    EXPECT_GT(ticks, 0);

    args.insert(args.end(), {"-o", Work.File("from-pack")});
    const CommandResult packed = RunPackTool(args);
    ASSERT_EQ(packed.ExitCode, 0) << packed.Err;
    EXPECT_TRUE(ReadBytes(Work.File("from-maker")) == ReadBytes(Work.File("from-pack")));
}

// The gate's verdict: Try and Save only when every recipient can play the puzzle, and otherwise
// the reason, in the maker's words, beside the field it concerns.
TEST_F(MakerFormTest, TryAndSaveAreOfferedOnlyWhenTheGatePasses) {
    const Bytes song = MidiSongOf(4000);
    WriteBytes(Work.File("cut.mid"), Bytes(song.begin(), song.begin() + 22));
    WriteBytes(Work.File("song.mp3"), PayloadOf(2000, {'I', 'D', '3'}));
    WriteBytes(Work.File("notes.jpg"), PayloadOf(3000, {'H', 'e', 'l', 'l', 'o'}));
    const struct {
        std::string Photo, Song, Message;
        const char* Field; // the label that says why, or none: the puzzle can be made
        PackFault Fault;
    } cases[] = {
        {WritePhoto(Work, "tiny.jpg", 50, 50), "", "", "photoProblem", PackFault::PictureTooSmall},
        {Work.File("notes.jpg"), "", "", "photoProblem", PackFault::PictureUnknownFormat},
        {WritePhoto(Work, "a.jpg", 320, 240), Work.File("cut.mid"), "", "songProblem",
         PackFault::SongNotPlayable},
        {Work.File("a.jpg"), Work.File("song.mp3"), "", "songProblem", PackFault::SongNotMidi},
        {Work.File("a.jpg"), "", std::string(300, 'a'), "messageProblem",
         PackFault::MessageTooLong},
        {Work.File("a.jpg"), "", "Caf\u00e9 \u0421 \u041d\u043e\u0432\u044b\u043c", nullptr, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Photo + " " + c.Song + " " + c.Message);
        MakerForm form{BuiltPlayers};
        form.show();
        QSignalSpy opened(&form, &MakerForm::PhotoOpened);
        form.OpenPhoto(QString::fromStdString(c.Photo));
        ASSERT_TRUE(opened.wait(60000));
        if (!c.Song.empty()) {
            form.OpenSong(QString::fromStdString(c.Song));
        }
        form.findChild<QLineEdit*>("messageEdit")->setText(QString::fromUtf8(c.Message));
        EXPECT_EQ(form.findChild<QPushButton*>("saveButton")->isEnabled(), c.Field == nullptr);
        EXPECT_EQ(form.findChild<QPushButton*>("tryButton")->isEnabled(), c.Field == nullptr);
        for (const char* field : {"photoProblem", "songProblem", "messageProblem"}) {
            const QString said = form.findChild<QLabel*>(field)->text();
            EXPECT_EQ(said.isEmpty(), c.Field == nullptr || std::string(field) != c.Field)
                << field << ": " << said.toStdString();
        }
        if (c.Field != nullptr) {
            const auto problems = form.Session().Problems();
            ASSERT_FALSE(problems.empty());
            EXPECT_EQ(problems.front().Problem.Fault, c.Fault);
        }
    }
}

TEST_F(MakerFormTest, PieceCountIsThePlayersGridForTheChosenScreen) {
    OpenPhoto(WritePhoto(Work, "photo.jpg", 1600, 1200));
    auto* screens = Child<QComboBox>("screenChoice");
    screens->setCurrentIndex(screens->findText("2560 × 1600, scale 2"));
    Child<QComboBox>("typeChoice")->setCurrentIndex(3);
    const PuzzleLayout layout =
        LayOutOnScreen(1600, 1200, {2560, 1600, 2.0}, PuzzleShape::ForType(4), 100);
    ASSERT_GT(layout.PieceCount(), 0);
    EXPECT_EQ(Child<QLabel>("pieceCount")->text().toStdString(),
              "≈ " + std::to_string(layout.PieceCount()) +
                  " pieces on a screen of 2560 × 1600, scale 2" +
                  (layout.Fit.ZoomPercent < 100
                       ? " (the photo shown at " + std::to_string(layout.Fit.ZoomPercent) + " %)"
                       : ""));
}

// People are never told an option name or a command, whatever the problem.
TEST(MakerWords, NoProblemIsWordedWithAnOptionName) {
    for (int fault = 0; fault <= static_cast<int>(PackFault::MetadataRemoved); ++fault) {
        for (const PackInput input : {PackInput::Picture, PackInput::Song, PackInput::Player}) {
            PackProblem problem(static_cast<PackFault>(fault), input, "/home/ann/photo.heic");
            problem.Detail = "--music-link";
            const std::string words = MakerWords(problem);
            EXPECT_FALSE(words.empty()) << fault;
            EXPECT_EQ(words.find("--"), std::string::npos) << words;
            EXPECT_EQ(words.find("convert"), std::string::npos) << words;
        }
    }
}

TEST_F(MakerFormTest, PhotoAndSongDroppedTogetherAreBothOpened) {
    const std::string photo = WritePhoto(Work, "photo.jpg", 320, 240);
    WriteBytes(Work.File("tune"), MidiSongOf(500)); // a song known by its content alone
    QMimeData files; // the song first: the order is the file manager's
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(Work.File("tune"))),
                   QUrl::fromLocalFile(QString::fromStdString(photo))});
    QSignalSpy opened(&Form, &MakerForm::PhotoOpened);
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Form, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Form, &drop);
    ASSERT_TRUE(opened.wait(30000));
    EXPECT_EQ(Child<QLabel>("photoName")->text(), "photo.jpg");
    EXPECT_EQ(Child<QLabel>("songName")->text(), "tune");
    EXPECT_TRUE(Child<QPushButton>("playButton")->isEnabled());
}

TEST_F(MakerFormTest, LargePhotoDecodesWithoutBlockingTheWindow) {
    const std::string photo = WritePhoto(Work, "large.jpg", 6000, 4000);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(0);
    QSignalSpy opened(&Form, &MakerForm::PhotoOpened);
    Form.OpenPhoto(QString::fromStdString(photo));
    EXPECT_TRUE(Form.IsBusy());
    EXPECT_FALSE(Child<QPushButton>("saveButton")->isEnabled());
    ASSERT_TRUE(opened.wait(60000));
    EXPECT_GT(ticks, 0);
    EXPECT_FALSE(Form.IsBusy());
    EXPECT_EQ(Status(), "The puzzle's picture is 3240 × 2160 pixels.");
}

// A photo opened just as the last one is decoded replaces it, and the form is ready again.
TEST_F(MakerFormTest, APhotoOpenedRightAfterAnotherReplacesItAndTheFormIsReadyAgain) {
    Form.OpenPhoto(QString::fromStdString(WritePhoto(Work, "first.jpg", 320, 240)));
    QThreadPool::globalInstance()->waitForDone(); // decoded, but not yet reported
    QImage second(640, 480, QImage::Format_RGB32);
    second.fill(QColor(20, 120, 40));
    ASSERT_TRUE(second.save(QString::fromStdString(Work.File("second.png"))));
    OpenPhoto(Work.File("second.png"));
    QTest::qWait(100); // anything still queued for the first photo
    EXPECT_FALSE(Form.IsBusy());
    EXPECT_TRUE(Child<QPushButton>("saveButton")->isEnabled());
    EXPECT_EQ(Child<QLabel>("photoName")->text(), "second.png");
    EXPECT_EQ(Status(), "The puzzle's picture is 640 × 480 pixels.");
}

// Closing the window while a puzzle is written waits for it, so that it is saved whole.
TEST_F(MakerFormTest, ClosingWhileAPuzzleIsWrittenClosesOnceItIsSaved) {
    OpenPhoto(WritePhoto(Work, "photo.jpg", 320, 240));
    ChooseLean();
    const std::string output = Work.File("closing");
    Form.AskSavePath = [output](const QString&) { return QString::fromStdString(output); };
    QSignalSpy written(&Form, &MakerForm::PuzzleWritten);
    QTest::mouseClick(Child<QPushButton>("saveButton"), Qt::LeftButton);
    Form.close();
    EXPECT_TRUE(Form.isVisible());
    ASSERT_TRUE(written.wait(60000));
    EXPECT_TRUE(written.first().first().toBool());
    EXPECT_FALSE(Form.isVisible());
    const CommandResult info = RunPackTool({"--info", output});
    EXPECT_EQ(info.ExitCode, 0) << info.Err;
}

TEST_F(MakerFormTest, ClosingWithUnsavedChangesAsksAndCancelKeepsTheWindow) {
    OpenPhoto(WritePhoto(Work, "photo.jpg", 320, 240));
    Answer(QMessageBox::Cancel);
    Form.close();
    ASSERT_EQ(Asked.size(), 1U);
    EXPECT_EQ(Asked[0].Answers, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    EXPECT_TRUE(Form.isVisible());
}

TEST_F(MakerFormTest, SettingsAndCreditsAreRememberedForTheNextWindow) {
    Child<QComboBox>("typeChoice")->setCurrentIndex(2);
    Child<QComboBox>("arrangeChoice")->setCurrentIndex(1);
    Child<QComboBox>("screenChoice")->setCurrentText("2560 × 1440, scale 1");
    ChooseColor(QColor(0x12, 0x34, 0x56));
    ChooseLean();
    QTest::keyClicks(Child<QLineEdit>("pictureCreditEdit"), "Photo: Ann");
    Form.close();

    MakerForm next(BuiltPlayers);
    const auto child = [&next](const char* name) { return next.findChild<QWidget*>(name); };
    EXPECT_EQ(qobject_cast<QComboBox*>(child("typeChoice"))->currentIndex(), 2);
    EXPECT_EQ(qobject_cast<QComboBox*>(child("arrangeChoice"))->currentIndex(), 1);
    EXPECT_EQ(qobject_cast<QComboBox*>(child("screenChoice"))->currentText(), "2560 × 1440, scale 1");
    EXPECT_EQ(qobject_cast<QPushButton*>(child("colorButton"))->text(), "#123456");
    EXPECT_TRUE(qobject_cast<QCheckBox*>(child("leanCheck"))->isChecked());
    EXPECT_EQ(qobject_cast<QLineEdit*>(child("pictureCreditEdit"))->text(), "Photo: Ann");
}

TEST_F(MakerFormTest, ASongCutShortIsSaidBesideTheSong) {
    Bytes song = MidiSongOf(4000);
    song.resize(60); // its one note, then text cut in the middle
    WriteBytes(Work.File("cut.mid"), song);
    Form.OpenSong(QString::fromStdString(Work.File("cut.mid")));
    EXPECT_EQ(Child<QLabel>("songName")->text(), "cut.mid");
    EXPECT_FALSE(Child<QLabel>("songProblem")->text().isEmpty());
}

TEST_F(MakerFormTest, ARemovedSongLeavesThePuzzleSilent) {
    WriteBytes(Work.File("carol.mid"), MidiSongOf(500));
    Form.OpenSong(QString::fromStdString(Work.File("carol.mid")));
    QTest::mouseClick(Child<QPushButton>("removeSongButton"), Qt::LeftButton);
    EXPECT_TRUE(Form.Session().Choices.Song.empty());
    EXPECT_FALSE(Child<QPushButton>("playButton")->isEnabled());
}

TEST_F(MakerFormTest, AfterSaveTheStatusSaysTheSizeAndThatItFitsAMail) {
    OpenPhoto(WritePhoto(Work, "photo.jpg", 320, 240));
    ChooseLean();
    ASSERT_TRUE(Save(Work.File("small")));
    const QString size = QLocale().formattedDataSize(QFileInfo(Work.File("small").c_str()).size(),
                                                     1, QLocale::DataSizeSIFormat);
    const std::string first = Status().substr(0, Status().find('\n'));
    EXPECT_EQ(first, "Saved " + Work.File("small") + " (" + size.toStdString() +
                         "). Small enough to send by mail.");
}

TEST_F(MakerFormTest, ASaveNameLikeAPhotosAsksAndSavesWithoutTheExtension) {
    OpenPhoto(WritePhoto(Work, "photo.jpg", 320, 240));
    ChooseLean();
    Answer(QMessageBox::Yes);
    ASSERT_TRUE(Save(Work.File("for-ann.jpg")));
    ASSERT_EQ(Asked.size(), 1U);
    EXPECT_TRUE(FileExists(Work.File("for-ann")));
    EXPECT_FALSE(FileExists(Work.File("for-ann.jpg")));
}

// A transparent PNG is previewed as the puzzle shows it: on white, blended.
TEST(MakerPhoto, TransparentPartsArePreviewedOnWhite) {
    ScratchFolder work;
    const struct {
        int Alpha;
        QRgb Shown;
    } cases[] = {{0, qRgb(255, 255, 255)}, {128, qRgb(255, 127, 127)}, {255, qRgb(255, 0, 0)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Alpha);
        QImage png(8, 8, QImage::Format_ARGB32);
        png.fill(qRgba(255, 0, 0, c.Alpha));
        const QString path = QString::fromStdString(work.File("clear.png"));
        ASSERT_TRUE(png.save(path));
        const LoadedPhoto photo = LoadPhoto(path);
        ASSERT_FALSE(photo.Refused);
        EXPECT_EQ(photo.Preview.pixel(4, 4), c.Shown);
    }
}

// A phone's portrait photo is previewed as tavrin-pack packs it: upright, at its upright size.
TEST(MakerPhoto, EveryExifOrientationIsPreviewedUpright) {
    ScratchFolder work;
    const QImage upright = CoordinatePicture(64, 48);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const std::string path = work.File("camera" + std::to_string(orientation) + ".jpg");
        WriteBytes(path, CameraJpeg(StoredFor(upright, orientation), orientation));
        const LoadedPhoto photo = LoadPhoto(QString::fromStdString(path));
        ASSERT_FALSE(photo.Refused.has_value());
        EXPECT_EQ(photo.PackedWidth, 64);
        EXPECT_EQ(photo.PackedHeight, 48);
        EXPECT_LE(MaxDifference(photo.Preview, upright), 12);
    }
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
