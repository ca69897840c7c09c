#pragma once

// The size a picture is shown at on a board: the package's zoom when the picture is then smaller
// than the board, otherwise the first ten-percent step down from 100 at which it is (20 at the
// least, fitting or not).
struct PictureFit {
    int ZoomPercent = 100;
    int Width = 0;
    int Height = 0;
    // The package's zoom was too large: the user is told.
    bool ZoomedOut = false;
};

PictureFit FitToBoard(int width, int height, int boardWidth, int boardHeight, int zoomPercent);
