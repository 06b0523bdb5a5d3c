// Build-time tool: renders a picture drawn as SVG into a square PNG of the given side, for the
// program's icon in the desktop's icon theme.
//
// Usage: picture_png_writer <picture.svg> <output.png> <side>

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTextStream>

namespace {

// Icon themes go up to 256 px for bitmaps; larger sizes are served by the SVG itself.
constexpr int LargestSide = 1024;

int Fail(const QString& message) {
    QTextStream(stderr) << "picture_png_writer: " << message << '\n';
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        return Fail(QStringLiteral("usage: <picture.svg> <output.png> <side>"));
    }
    bool ok = false;
    const int side = args.at(3).toInt(&ok);
    if (!ok || side < 1 || side > LargestSide) {
        return Fail(QStringLiteral("side must be a whole number from 1 to %1").arg(LargestSide));
    }

    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid()) {
        return Fail(QStringLiteral("cannot read picture %1").arg(args.at(1)));
    }
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }

    // Written through QSaveFile so an interrupted build never leaves a half-written icon.
    QSaveFile file(args.at(2));
    if (!file.open(QIODevice::WriteOnly) ||
        !image.convertToFormat(QImage::Format_ARGB32).save(&file, "PNG") || !file.commit()) {
        return Fail(QStringLiteral("cannot write %1").arg(args.at(2)));
    }
    return 0;
}
