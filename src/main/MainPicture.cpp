// Loading the picture file, fitting it to the board in zoom steps, and starting a game on it.
#include "main/Main.h"
#include "main/MessageBox.h"
#include "picture/PictureFile.h"
#include "windows/Orgwnd.h"

#include <QGuiApplication>
#include <QScopedValueRollback>
#include <algorithm>
#include <array>
#include <limits>

namespace {

constexpr std::array<int, 9> ZoomSteps = {100, 90, 80, 70, 60, 50, 40, 30, 20};

// A length at a zoom in percent, rounded down: 0 for zooms of 0 and below, and held at the
// largest int where it would pass it (such a picture fits no board).
int Scaled(int length, int percent) {
    const std::int64_t scaled = std::int64_t{length} * percent / 100;
    return static_cast<int>(std::clamp<std::int64_t>(scaled, 0, std::numeric_limits<int>::max()));
}

// The busy cursor, for as long as it lives.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

// A game asked for while one is being started (from the build's pass of pending events) is
// not started inside it: it becomes a new game once the current one is done.
bool TFormMain::StartGame(const QString& path) {
    if (GameStarting) {
        NewGameAsked = true;
        return false;
    }
    const QScopedValueRollback starting(GameStarting, true);
    const BusyCursor busy;
    const bool built = LoadPicture(path, true);
    if (OrgWindow) {
        OrgWindow->SetPicture(ThumbnailPicture);
    }
    return built;
}

bool TFormMain::LoadPicture(const QString& path, bool build) {
    ClearPieces();
    if (!path.isEmpty()) {
        ClearPicture();
        std::optional<Bitmap> loaded = LoadPictureFile(path);
        // A large picture takes a while: what the user did meanwhile, a close above all, is
        // taken before any notice can show.
        TakePendingEvents();
        if (Closed) {
            return false;
        }
        if (!loaded) {
            ShowMessageBox(QStringLiteral("Unable to open %1.").arg(path), MessageIcon::Stop);
            RedrawBoard();
            Invalidate();
            PicturePath.clear();
            return false;
        }
        Picture = std::make_unique<Bitmap>(std::move(*loaded));
        FitPicture();
        PicturePath = path;
    }
    if (Picture) {
        GameOver = false;
    }
    if (!build) {
        return true;
    }
    const bool built = BuildPuzzle();
    GameOver = !built;
    return built;
}

void TFormMain::ClearPicture() {
    Picture.reset();
    ThumbnailPicture.reset();
    GameOver = true;
}

int TFormMain::BoardWidth() const {
    return BoardBuffer ? BoardBuffer->Width() : ClientWidth() + 1;
}

int TFormMain::BoardHeight() const {
    return BoardBuffer ? BoardBuffer->Height() : ClientHeight();
}

// Scales the picture down in ten-percent steps until it is smaller than the board, then
// stretches it (and the thumbnail's copy) to that size.
void TFormMain::FitPicture() {
    const auto fitsAt = [&](int percent) {
        PictureWidth = Scaled(Picture->Width(), percent);
        PictureHeight = Scaled(Picture->Height(), percent);
        return PictureWidth < BoardWidth() && PictureHeight < BoardHeight();
    };
    if (!fitsAt(ZoomPercent)) {
        ShowMessageBox(QStringLiteral("The image will be zoomed out because it is too large."),
                       MessageIcon::Information);
        for (const int step : ZoomSteps) {
            ZoomPercent = step;
            if (fitsAt(step)) {
                break;
            }
        }
    }
    const Bitmap full = std::move(*Picture);
    *Picture = StretchNearest(full, PictureWidth, PictureHeight);
    ThumbnailPicture = std::make_shared<Bitmap>(*Picture);
}
