#pragma once

#include "desktop/Platform.h"

#include <QCursor>
#include <QGuiApplication>

// The busy cursor, for as long as it lives. Not on Wayland itself, where redrawing the animated
// cursor during start-up has crashed Qt's Wayland client.
class BusyCursor {
public:
    BusyCursor()
        : Shown(!OnWaylandItself()) {
        if (Shown) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        }
    }
    ~BusyCursor() {
        if (Shown) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool Shown;
};
