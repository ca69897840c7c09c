#include "main/LoadingStart.h"

#include "desktop/ShownOnScreen.h"
#include "main/Main.h"
#include "windows/Progress.h"

#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

LoadingWindowStart::LoadingWindowStart(TFormMain& form)
    : Form(form) {}

TFormProgress* LoadingWindowStart::LoadingWindow() const {
    return Form.Closed ? nullptr : Loading.data();
}

void LoadingWindowStart::Finish(bool built) {
    BarRepaint.reset();
    if (!built && Loading) {
        Loading->close();
    }
}

bool LoadingWindowStart::TakePendingEvents() {
    Form.TakePendingEvents();
    return !Form.Closed;
}

void LoadingWindowStart::Tell(const Message& message) {
    Form.Tell(message);
}

void LoadingWindowStart::ShowBoard() {
    Form.Invalidate();
}

// Once closed the loading window never shows again: it is released rather than kept hidden.
bool LoadingWindowStart::OpenLoading(int pieceCount) {
    if (Form.Closed) {
        return false;
    }
    Loading = new TFormProgress(&Form, Form.Credits());
    Loading->setAttribute(Qt::WA_DeleteOnClose);
    Form.NewestLoading = Loading;
    Loading->show();
    WaitUntilOnScreen(*Loading, WindowManagerWait, [this] { return !LoadingWindow(); });
    if (Form.Closed) {
        return false;
    }
    if (TFormProgress* window = LoadingWindow()) {
        window->ProgressBar->setRange(0, pieceCount);
        BarRepaint.emplace(*window->ProgressBar);
    }
    return true;
}

void LoadingWindowStart::Cutting(int made) {
    TFormProgress* window = LoadingWindow();
    if (!window) {
        BarRepaint.reset();
        return;
    }
    // Setting the bar is dear: it moves a hundredth of the way at a time.
    QProgressBar& bar = *window->ProgressBar;
    const int step = std::max(1, bar.maximum() / 100);
    if (bar.value() < made && made % step == 0) {
        bar.setValue(made);
        BarRepaint->RepaintWhenDue();
    }
}

void LoadingWindowStart::Ready() {
    BarRepaint.reset();
    if (TFormProgress* window = LoadingWindow()) {
        window->ProgressBar->setValue(window->ProgressBar->maximum());
        window->ButtonClose->setEnabled(true);
    }
}
