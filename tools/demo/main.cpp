// Regenerates the demo package's picture and song under resources/demo/:
//   tavrin-demo-assets resources/demo
#include "DemoPicture.h"
#include "DemoSong.h"

#include <QGuiApplication>
#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavrin-demo-assets FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!PaintDemoPicture().save(folder + "/winter-village.jpg", "JPEG", 90)) {
        std::fprintf(stderr, "cannot write the picture\n");
        return 1;
    }
    const auto song = ComposeDemoSong();
    std::ofstream out((folder + "/silent-night.mid").toStdString(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(song.data()),
              static_cast<std::streamsize>(song.size()));
    return out ? 0 : 1;
}
