// Pointer files: the ones the build writes, the writer's files read back, hostile and damaged
// files, and what is not a regular file. Random damage is the fuzzer's (fuzz/fuzz_pointer_file).
#include "icon_file_writer.h"
#include "pointer_image.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using scanvale::IconFileWriter;
using scanvale::PointerImage;

namespace {

const QString PointerDir = QStringLiteral(SCANVALE_POINTER_DIR);

QImage Sample(int side) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(2, 2, side - 4, side - 4, QColor(200, 40, 40));
    return image;
}

QByteArray ValidCursor() {
    return IconFileWriter::Encode(Sample(32), IconFileWriter::Kind::Cursor, QPoint(5, 7));
}

QByteArray PngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A one-entry cursor directory whose image is stored as PNG.
QByteArray PngCursor(const QByteArray& png, QPoint hotSpot) {
    QByteArray bytes = ValidCursor().left(22);
    qToLittleEndian<quint16>(quint16(hotSpot.x()), bytes.data() + 10);
    qToLittleEndian<quint16>(quint16(hotSpot.y()), bytes.data() + 12);
    qToLittleEndian<quint32>(quint32(png.size()), bytes.data() + 14);
    return bytes + png;
}

QByteArray Patched32(QByteArray bytes, int at, quint32 value) {
    qToLittleEndian<quint32>(value, bytes.data() + at);
    return bytes;
}

QByteArray Patched16(QByteArray bytes, int at, quint16 value) {
    qToLittleEndian<quint16>(value, bytes.data() + at);
    return bytes;
}

} // namespace

class TestPointerImage : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            qFatal("cannot write test file");
        }
        return path;
    }

private slots:
    void builtHandCursorHasFingertipHotSpot() {
        const PointerImage hand = PointerImage::Load(PointerDir + "/HAND-M.CUR");
        QVERIFY(!hand.IsNull());
        QCOMPARE(hand.Image().size(), QSize(32, 32));
        const QPoint tip(SCANVALE_HAND_HOTSPOT_X, SCANVALE_HAND_HOTSPOT_Y);
        QCOMPARE(hand.HotSpot(), tip);
        // The finger is drawn under the hot spot, the corners are see-through.
        QVERIFY(qAlpha(hand.Image().pixel(tip + QPoint(0, 1))) > 128);
        QCOMPARE(qAlpha(hand.Image().pixel(31, 0)), 0);
        QCOMPARE(qAlpha(hand.Image().pixel(0, 31)), 0);
        const QCursor cursor = hand.Cursor();
        QCOMPARE(cursor.hotSpot(), tip);
        QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
    }

    void builtDragIconIsCentred() {
        const PointerImage drag = PointerImage::Load(PointerDir + "/drag.ico");
        QVERIFY(!drag.IsNull());
        QCOMPARE(drag.Pixmap().size(), QSize(32, 32));
        QCOMPARE(drag.HotSpot(), QPoint(16, 16));
        QCOMPARE(drag.Cursor().hotSpot(), QPoint(16, 16));
        QVERIFY(qAlpha(drag.Image().pixel(16, 16)) > 128);
        QCOMPARE(qAlpha(drag.Image().pixel(2, 2)), 0);
    }

    void validVariants_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("hotSpot");
        QTest::newRow("bitmap cursor keeps its hot spot")
            << ValidCursor() << QSize(32, 32) << QPoint(5, 7);
        QTest::newRow("small icon centres its hot spot")
            << IconFileWriter::Encode(Sample(16), IconFileWriter::Kind::Icon) << QSize(16, 16)
            << QPoint(8, 8);
        QTest::newRow("largest icon side 256 is stored as 0")
            << IconFileWriter::Encode(Sample(256), IconFileWriter::Kind::Icon) << QSize(256, 256)
            << QPoint(128, 128);
        QTest::newRow("cursor with a PNG image")
            << PngCursor(PngBytes(Sample(48)), QPoint(3, 40)) << QSize(48, 48) << QPoint(3, 40);
    }
    void validVariants() {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(QPoint, hotSpot);
        const PointerImage pointer = PointerImage::Load(write("valid.cur", bytes));
        QVERIFY(!pointer.IsNull());
        QCOMPARE(pointer.Image().size(), size);
        QCOMPARE(pointer.HotSpot(), hotSpot);
        // The opaque square and its transparent rim survive the round trip.
        QCOMPARE(pointer.Image().pixelColor(size.width() / 2, size.height() / 2),
                 QColor(200, 40, 40));
        QCOMPARE(qAlpha(pointer.Image().pixel(0, 0)), 0);
    }

    void rejectsBadFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray cursor = ValidCursor();
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("truncated header") << cursor.left(5);
        QTest::newRow("truncated directory entry") << cursor.left(20);
        QTest::newRow("file cut short") << cursor.left(cursor.size() - 1);
        QTest::newRow("mask cut short, entry size agreeing")
            << Patched32(cursor.left(cursor.size() - 8), 14, quint32(cursor.size() - 22 - 8));
        QTest::newRow("pixel rows cut short, entry size agreeing")
            << Patched32(cursor.left(22 + 40 + 1000), 14, 1040);
        QTest::newRow("PNG renamed .cur") << PngBytes(Sample(32));
        QTest::newRow("reserved field set") << Patched16(cursor, 0, 1);
        QTest::newRow("unknown directory type") << Patched16(cursor, 2, 3);
        QTest::newRow("no images") << Patched16(cursor, 4, 0);
        QTest::newRow("image count past the end") << Patched16(cursor, 4, 0xffff);
        QTest::newRow("entry points past the end") << Patched32(cursor, 18, 0x7ffffff0);
        QTest::newRow("entry size past the end") << Patched32(cursor, 14, 0xffffffff);
        QTest::newRow("entry offset plus size wraps around")
            << Patched32(Patched32(cursor, 18, 0xfffffff0), 14, 0x20);
        QTest::newRow("hot spot outside the image") << Patched16(cursor, 12, 32);
        QTest::newRow("unknown bitmap header size") << Patched32(cursor, 22, 12);
        QTest::newRow("absurd bitmap width") << Patched32(cursor, 26, 100000);
        QTest::newRow("negative bitmap width") << Patched32(cursor, 26, 0xffffffe0);
        QTest::newRow("absurd bitmap height") << Patched32(cursor, 30, 0x7ffffffe);
        QTest::newRow("odd bitmap height") << Patched32(cursor, 30, 63);
        QTest::newRow("unknown bit depth") << Patched16(cursor, 36, 7);
        QTest::newRow("compressed bitmap") << Patched32(cursor, 38, 1);
        QTest::newRow("palette larger than the depth allows")
            << Patched32(Patched16(cursor, 36, 8), 54, 257);
        QTest::newRow("pixel rows larger than the image")
            << Patched32(Patched32(cursor, 26, 256), 30, 512);
        QTest::newRow("PNG image with absurd sides")
            << PngCursor(PngBytes(Sample(32)).left(16) + QByteArray("\x00\x01\x00\x00", 4) +
                             QByteArray("\x00\x01\x00\x00", 4) + PngBytes(Sample(32)).mid(24),
                         QPoint(0, 0));
        QTest::newRow("PNG image that is corrupt")
            << PngCursor(PngBytes(Sample(32)).left(40), QPoint(0, 0));
    }
    void rejectsBadFiles() {
        QFETCH(QByteArray, bytes);
        const PointerImage pointer = PointerImage::Load(write("bad.cur", bytes));
        QVERIFY(pointer.IsNull());
        QVERIFY(pointer.Pixmap().isNull());
        QCOMPARE(pointer.Cursor().shape(), Qt::ArrowCursor);
    }

    // Only a regular file is read, and nothing waits: a FIFO that no one writes to would hold
    // an open or a read for ever, and a device such as /dev/zero has no end.
    void rejectsWhatIsNotARegularFileWithoutWaiting() {
        QVERIFY(PointerImage::Load(dir_.filePath("missing.cur")).IsNull());
        QVERIFY(PointerImage::Load(dir_.path()).IsNull());
        QVERIFY(PointerImage::Load(QString()).IsNull());
        const QString zero = dir_.filePath(QStringLiteral("zero.ico"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
        const QString fifo = dir_.filePath(QStringLiteral("HAND-M.CUR"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString& path : {zero, fifo}) {
            auto loading = std::async(std::launch::async,
                                      [path] { return PointerImage::Load(path).IsNull(); });
            const bool ended =
                loading.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
            if (!ended) {
                // Lets an open of the FIFO that waits for a writer return, so the test can end.
                const int writer =
                    ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
                if (writer >= 0) {
                    ::close(writer);
                }
            }
            QVERIFY2(ended, qPrintable(path + QStringLiteral(" held the load")));
            QVERIFY(loading.get());
        }
    }
};

QTEST_MAIN(TestPointerImage)
#include "tst_pointer_image.moc"
