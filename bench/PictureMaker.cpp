// Writes a detailed JPEG of the given size for the memory measurement:
//   tavrin-demo-picture FILE WIDTH HEIGHT
#include <QGuiApplication>
#include <QImage>
#include <cstdlib>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        return 2;
    }
    QImage image(std::atoi(argv[2]), std::atoi(argv[3]), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
        }
    }
    return image.save(QString::fromLocal8Bit(argv[1]), "JPG", 90) ? 0 : 1;
}
