#pragma once

#include "game/Message.h"

// What starting a game needs from the screen it is shown on. The screen may go away during any
// call that lets events through (TakePendingEvents, OpenLoading); those say so, and the start
// then stops without another word.
class StartScreen {
public:
    virtual ~StartScreen() = default;

    // Lets what came meanwhile be handled; false once the start is to stop quietly.
    virtual bool TakePendingEvents() = 0;
    // Shows a message and returns once the user has seen it.
    virtual void Tell(const Message& message) = 0;
    // The board changed as a whole and is to be shown again.
    virtual void ShowBoard() = 0;
    // `pieceCount` pieces are about to be cut: the loading window opens and follows the cut.
    // False when the screen went away meanwhile.
    virtual bool OpenLoading(int pieceCount) = 0;
    // `made` pieces of the count have been cut.
    virtual void Cutting(int made) = 0;
    // The puzzle is laid out: the loading window offers the start.
    virtual void Ready() = 0;
};
