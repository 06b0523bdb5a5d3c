// Build-time tool: renders a pointer picture drawn as SVG at 32 x 32 and writes it as a
// Windows cursor or icon file beside the executable.
//
// Usage: pointer_file_writer <picture.svg> <output file> cur <hotX> <hotY>
//        pointer_file_writer <picture.svg> <output file> ico

#include "icon_file_writer.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTextStream>

using scanvale::IconFileWriter;

namespace {

constexpr int Side = 32;

int Fail(const QString& message) {
    QTextStream(stderr) << "pointer_file_writer: " << message << '\n';
    return 1;
}

bool ReadCoordinate(const QString& text, int& value) {
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= 0 && value < Side;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool isCursor = args.size() == 6 && args.at(3) == QLatin1String("cur");
    const bool isIcon = args.size() == 4 && args.at(3) == QLatin1String("ico");
    if (!isCursor && !isIcon) {
        return Fail(QStringLiteral("usage: <svg> <output> cur <hotX> <hotY> | <svg> <output> ico"));
    }
    QPoint hotSpot;
    if (isCursor) {
        int x = 0;
        int y = 0;
        if (!ReadCoordinate(args.at(4), x) || !ReadCoordinate(args.at(5), y)) {
            return Fail(QStringLiteral("hot spot must lie inside the %1 x %1 image").arg(Side));
        }
        hotSpot = QPoint(x, y);
    }

    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid()) {
        return Fail(QStringLiteral("cannot read picture %1").arg(args.at(1)));
    }
    QImage image(Side, Side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter);
    }

    const QByteArray bytes = IconFileWriter::Encode(
        image, isCursor ? IconFileWriter::Kind::Cursor : IconFileWriter::Kind::Icon, hotSpot);
    QSaveFile file(args.at(2));
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
        !file.commit()) {
        return Fail(QStringLiteral("cannot write %1").arg(args.at(2)));
    }
    return 0;
}
