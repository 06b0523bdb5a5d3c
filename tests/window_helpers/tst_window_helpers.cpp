// The small window and file procedures: FileExists, CenterForm and the home-page draw.

#include "center_form.h"
#include "file_exists.h"
#include "home_page.h"

#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace scanvale;

class TestWindowHelpers : public QObject {
    Q_OBJECT

private slots:
    void fileExists_data();
    void fileExists();
    void centeredPosition_data();
    void centeredPosition();
    void centerFormLargerThanScreen();
    void homePageDraw_data();
    void homePageDraw();

private:
    QTemporaryDir dir_;
};

void TestWindowHelpers::fileExists_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("exists");
    QVERIFY(dir_.isValid());
    QFile file(dir_.filePath(QStringLiteral("present.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QTest::newRow("empty string") << QString() << false;
    QTest::newRow("missing folder") << dir_.filePath(QStringLiteral("gone/present.txt")) << false;
    QTest::newRow("missing file") << dir_.filePath(QStringLiteral("absent.txt")) << false;
    QTest::newRow("existing file") << file.fileName() << true;
    QTest::newRow("existing folder") << dir_.path() << true;
    QTest::newRow("embedded NUL names nothing")
        << file.fileName() + QChar(u'\0') + QStringLiteral("x") << false;
    QTest::newRow("file used as a folder") << file.fileName() + QStringLiteral("/x") << false;
}

void TestWindowHelpers::fileExists() {
    QFETCH(QString, path);
    QFETCH(bool, exists);
    QCOMPARE(FileExists(path), exists);
}

void TestWindowHelpers::centeredPosition_data() {
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("fits") << QRect(0, 0, 1024, 768) << QSize(443, 450) << QPoint(290, 159);
    QTest::newRow("odd remainder truncates")
        << QRect(0, 0, 1025, 769) << QSize(441, 428) << QPoint(292, 170);
    QTest::newRow("wider than the screen")
        << QRect(0, 0, 800, 600) << QSize(1001, 400) << QPoint(-101, 100);
    QTest::newRow("taller than the screen")
        << QRect(0, 0, 800, 600) << QSize(400, 700) << QPoint(200, -50);
    QTest::newRow("second screen to the right")
        << QRect(1920, 0, 1024, 768) << QSize(424, 368) << QPoint(2220, 200);
}

void TestWindowHelpers::centeredPosition() {
    QFETCH(QRect, screen);
    QFETCH(QSize, window);
    QFETCH(QPoint, expected);
    QCOMPARE(CenteredPosition(screen, window), expected);
}

void TestWindowHelpers::centerFormLargerThanScreen() {
    QWidget window;
    const QRect screen = window.screen()->geometry();
    window.setFixedSize(screen.width() + 200, screen.height() + 100);
    CenterForm(window);
    QCOMPARE(window.pos(), screen.topLeft() + QPoint(-100, -50));
}

void TestWindowHelpers::homePageDraw_data() {
    QTest::addColumn<double>("r");
    QTest::addColumn<int>("number");
    QTest::newRow("r = 0.06 opens") << 0.06 << 7;
    QTest::newRow("r = 0.0699 opens") << 0.0699 << 7;
    QTest::newRow("r = 0.07 does not") << 0.07 << 8;
    QTest::newRow("r = 0 does not") << 0.0 << 1;
    QTest::newRow("r just below 1 does not") << 0.999999 << 100;
}

void TestWindowHelpers::homePageDraw() {
    QFETCH(double, r);
    QFETCH(int, number);
    QCOMPARE(HomePageNumber(r), number);
    QList<QUrl> opened;
    int draws = 0;
    MaybeOpenHomePage(
        [&] {
            ++draws;
            return r;
        },
        [&](const QUrl& address) { opened.append(address); });
    QCOMPARE(draws, 1);
    if (number == 7) {
        QCOMPARE(opened, QList<QUrl>{QUrl(QString::fromLatin1(HomePageAddress))});
        QVERIFY(opened.front().isValid());
    } else {
        QVERIFY(opened.isEmpty());
    }
}

QTEST_MAIN(TestWindowHelpers)
#include "tst_window_helpers.moc"
