#pragma once

#include "game/StartScreen.h"
#include "windows/FramePacedRepaint.h"

#include <QPointer>
#include <optional>

class TFormMain;
class TFormProgress;

// A game's start as the main window shows it: a new loading window follows the cut and offers
// the start once the puzzle is laid out. Either window may close while events run; the loading
// window then deletes itself, so it is reached only through LoadingWindow(), which says whether
// both are still open.
class LoadingWindowStart final : public StartScreen {
public:
    // The main window must outlive the start.
    explicit LoadingWindowStart(TFormMain& form);
    // A start that built no puzzle closes its loading window.
    void Finish(bool built);

    bool TakePendingEvents() override;
    void Tell(const Message& message) override;
    void ShowBoard() override;
    bool OpenLoading(int pieceCount) override;
    void Cutting(int made) override;
    void Ready() override;

private:
    // The loading window while it and the main window are open; null otherwise.
    TFormProgress* LoadingWindow() const;

    TFormMain& Form;
    QPointer<TFormProgress> Loading;
    std::optional<FramePacedRepaint> BarRepaint;
};
