// Writes the application's icon as a PNG file for the desktop:  tavrin-icon FILE
#include "windows/AppIcon.h"

#include <QGuiApplication>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    return argc == 2 && PaintAppIconPixmap().save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
