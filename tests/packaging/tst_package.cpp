// The Debian package: built from the install rules, unpacked into a scratch root, checked file
// by file and started from the command of its menu entry on a virtual screen.

#include "installed_program.h"
#include "tool_run.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using scanvale::test::InstalledProgram;
using scanvale::test::RunTool;

namespace {

const QString AppId = QStringLiteral(SCANVALE_APP_ID);
const QString Program = QStringLiteral("usr/libexec/scanvale/scanvale");

// The value of one key of the [Desktop Entry] group.
QString DesktopEntryValue(const QString& path, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    const QRegularExpression line(QStringLiteral("^%1=(.*)$").arg(key),
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromUtf8(file.readAll())).captured(1);
}

QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestPackage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void installedFiles_data();
    void installedFiles();
    void launcherLinksToProgram();
    void programHasNoRunPath();
    void dependencies_data();
    void dependencies();
    void versionsAgree();
    void identityAndLicence();
    void validators_data();
    void validators();
    void themeIcons_data();
    void themeIcons();
    void menuCommandStartsProgram();
    void keepsDesignGeometryWhenScaled_data();
    void keepsDesignGeometryWhenScaled();

private:
    QString Rooted(const QString& path) const { return root_.filePath(path); }
    QString MenuCommand() const;

    QTemporaryDir work_;
    QDir root_;
    QString deb_;
};

void TestPackage::initTestCase() {
    QVERIFY(work_.isValid());
    const auto built = RunTool(QStringLiteral(SCANVALE_CPACK_COMMAND),
                               {QStringLiteral("--config"), QStringLiteral(SCANVALE_CPACK_CONFIG),
                                QStringLiteral("-B"), work_.filePath(QStringLiteral("out"))},
                               120000);
    QVERIFY2(built.finished && built.exitCode == 0, qPrintable(built.output));
    const QStringList debs =
        QDir(work_.filePath(QStringLiteral("out"))).entryList({QStringLiteral("*.deb")});
    QCOMPARE(debs.size(), 1);
    deb_ = work_.filePath(QStringLiteral("out/") + debs.first());

    root_.setPath(work_.filePath(QStringLiteral("root")));
    const auto unpacked =
        RunTool(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb_, root_.path()});
    QVERIFY2(unpacked.exitCode == 0, qPrintable(unpacked.output));
    QVERIFY2(qEnvironmentVariableIsSet("SCANVALE_VIRTUAL_DISPLAY"),
             "run the test on a private X server: scripts/virtual_display.sh -- tst_package");
}

void TestPackage::installedFiles_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");
    QTest::newRow("program in its private folder") << Program << true;
    QTest::newRow("hand pointer beside the program")
        << QStringLiteral("usr/libexec/scanvale/HAND-M.CUR") << false;
    QTest::newRow("drag pointer beside the program")
        << QStringLiteral("usr/libexec/scanvale/drag.ico") << false;
    QTest::newRow("menu entry") << QStringLiteral("usr/share/applications/%1.desktop").arg(AppId)
                                << false;
    QTest::newRow("metainfo") << QStringLiteral("usr/share/metainfo/%1.metainfo.xml").arg(AppId)
                              << false;
    QTest::newRow("scalable icon")
        << QStringLiteral("usr/share/icons/hicolor/scalable/apps/%1.svg").arg(AppId) << false;
}

void TestPackage::installedFiles() {
    QFETCH(QString, path);
    QFETCH(bool, executable);
    const QFileInfo file(Rooted(path));
    QVERIFY2(file.isFile() && file.size() > 0, qPrintable(path));
    QCOMPARE(file.isExecutable(), executable);
}

void TestPackage::launcherLinksToProgram() {
    // Relative, so the link works wherever the root is unpacked or installed.
    const QFileInfo launcher(Rooted(QStringLiteral("usr/bin/scanvale")));
    QVERIFY(launcher.isSymLink());
    QVERIFY(QDir::isRelativePath(QFile::symLinkTarget(launcher.filePath())) ||
            QFile::symLinkTarget(launcher.filePath()).startsWith(root_.path()));
    QCOMPARE(launcher.canonicalFilePath(), QFileInfo(Rooted(Program)).canonicalFilePath());
}

void TestPackage::programHasNoRunPath() {
    // An installed program linked only to system libraries needs no run path; an empty entry
    // in one would make the loader search the current folder for libraries.
    const auto dynamic =
        RunTool(QStringLiteral("readelf"), {QStringLiteral("-d"), Rooted(Program)});
    QCOMPARE(dynamic.exitCode, 0);
    QVERIFY2(!dynamic.output.contains(QStringLiteral("RPATH")) &&
                 !dynamic.output.contains(QStringLiteral("RUNPATH")),
             qPrintable(dynamic.output));
}

void TestPackage::dependencies_data() {
    QTest::addColumn<QString>("package");
    QTest::newRow("widgets library") << QStringLiteral("libqt6widgets6");
    QTest::newRow("X11 platform and ICO image plugins") << QStringLiteral("libqt6gui6");
    QTest::newRow("Wayland platform plugin") << QStringLiteral("qt6-wayland");
    QTest::newRow("SVG pictures and icon engine") << QStringLiteral("libqt6svg6");
    QTest::newRow("fonts standing in for Arial") << QStringLiteral("fonts-liberation");
}

void TestPackage::dependencies() {
    QFETCH(QString, package);
    const auto depends = RunTool(QStringLiteral("dpkg-deb"),
                                 {QStringLiteral("-f"), deb_, QStringLiteral("Depends")});
    QCOMPARE(depends.exitCode, 0);
    QStringList names;
    for (const QString& entry : depends.output.split(QLatin1Char(','))) {
        names << entry.trimmed().section(QLatin1Char(' '), 0, 0);
    }
    QVERIFY2(names.contains(package), qPrintable(depends.output));
}

void TestPackage::versionsAgree() {
    const auto version = RunTool(QStringLiteral("dpkg-deb"),
                                 {QStringLiteral("-f"), deb_, QStringLiteral("Version")});
    QCOMPARE(version.output.trimmed(), QStringLiteral(SCANVALE_VERSION));
    // The newest release the metainfo announces is the version being packaged.
    QFile metainfo(Rooted(QStringLiteral("usr/share/metainfo/%1.metainfo.xml").arg(AppId)));
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    const QRegularExpression release(QStringLiteral("<release version=\"([^\"]+)\""));
    QCOMPARE(release.match(QString::fromUtf8(metainfo.readAll())).captured(1),
             QStringLiteral(SCANVALE_VERSION));
    // And so does the change log's newest entry.
    const auto changes = RunTool(
        QStringLiteral("gzip"),
        {QStringLiteral("-dc"), Rooted(QStringLiteral("usr/share/doc/scanvale/changelog.gz"))});
    QCOMPARE(changes.exitCode, 0);
    QVERIFY2(changes.output.startsWith(QStringLiteral("scanvale (%1) ").arg(SCANVALE_VERSION)),
             qPrintable(changes.output));
}

void TestPackage::identityAndLicence() {
    // One application id names the menu entry, the metainfo, the icon and what the metainfo
    // launches (the window announces it too: tests/e2e/wayland_test.sh).
    const QString menuEntry =
        Rooted(QStringLiteral("usr/share/applications/%1.desktop").arg(AppId));
    QCOMPARE(DesktopEntryValue(menuEntry, QStringLiteral("Icon")), AppId);
    const QString metainfo =
        ReadText(Rooted(QStringLiteral("usr/share/metainfo/%1.metainfo.xml").arg(AppId)));
    const auto element = [&](const QString& pattern) {
        return QRegularExpression(pattern).match(metainfo).captured(1);
    };
    QCOMPARE(element(QStringLiteral("<id>([^<]*)</id>")), AppId);
    QCOMPARE(element(QStringLiteral("<icon type=\"stock\">([^<]*)<")), AppId);
    QCOMPARE(element(QStringLiteral("<launchable type=\"desktop-id\">([^<]*)<")),
             AppId + QStringLiteral(".desktop"));

    // The home page is the package's, and no placeholder address is left anywhere.
    const auto control = RunTool(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb_});
    QCOMPARE(control.exitCode, 0);
    const QString homePage = element(QStringLiteral("<url type=\"homepage\">([^<]*)<"));
    QVERIFY2(control.output.contains(QStringLiteral("\nHomepage: %1\n").arg(homePage)),
             qPrintable(control.output));
    const QString copyright = ReadText(Rooted(QStringLiteral("usr/share/doc/scanvale/copyright")));
    for (const QString& text : {menuEntry, metainfo, control.output, copyright}) {
        QVERIFY2(!text.contains(QStringLiteral("example"), Qt::CaseInsensitive), qPrintable(text));
    }

    // MIT: the metainfo's licence, and the copyright file's (Debian calls it Expat), whose text
    // is the LICENSE file's with its heading and copyright line left out.
    QCOMPARE(element(QStringLiteral("<project_license>([^<]*)<")), QStringLiteral("MIT"));
    QVERIFY(copyright.contains(QStringLiteral("\nLicense: Expat\n")));
    QStringList licence = ReadText(QStringLiteral(SCANVALE_LICENSE_FILE)).split(QLatin1Char('\n'));
    licence = licence.mid(4);
    QString permission;
    for (const QString& line : licence) {
        permission += line.isEmpty() ? QString() : QStringLiteral(" ") + line + QLatin1Char('\n');
    }
    QString stated = copyright.section(QStringLiteral("\nLicense: Expat\n"), 1);
    stated.remove(QStringLiteral(" .\n"));
    QCOMPARE(stated, permission);
}

void TestPackage::validators_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("path");
    QTest::newRow("menu entry") << QStringLiteral("desktop-file-validate") << QStringList()
                                << QStringLiteral("usr/share/applications/%1.desktop").arg(AppId);
    QTest::newRow("metainfo") << QStringLiteral("appstreamcli")
                              << QStringList{QStringLiteral("validate"),
                                             QStringLiteral("--pedantic"),
                                             QStringLiteral("--no-net")}
                              << QStringLiteral("usr/share/metainfo/%1.metainfo.xml").arg(AppId);
    // Debian's checks of the package itself: no error and no warning.
    QTest::newRow("package") << QStringLiteral("lintian")
                             << QStringList{QStringLiteral("--fail-on"),
                                            QStringLiteral("error,warning")}
                             << QString();
}

void TestPackage::validators() {
    QFETCH(QString, tool);
    QFETCH(QStringList, options);
    QFETCH(QString, path);
    const auto verdict = RunTool(tool, options << (path.isEmpty() ? deb_ : Rooted(path)));
    QVERIFY2(verdict.finished && verdict.exitCode == 0, qPrintable(verdict.output));
}

void TestPackage::themeIcons_data() {
    QTest::addColumn<int>("side");
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QTest::addRow("%d px", side) << side;
    }
}

void TestPackage::themeIcons() {
    // The menu entry names its icon; each size of the theme holds a picture of that size.
    QFETCH(int, side);
    const QString menuEntry =
        Rooted(QStringLiteral("usr/share/applications/%1.desktop").arg(AppId));
    const QString icon = DesktopEntryValue(menuEntry, QStringLiteral("Icon"));
    const QImage image(
        Rooted(QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(side).arg(icon)));
    QCOMPARE(image.size(), QSize(side, side));
    QVERIFY(image.hasAlphaChannel());
    // Transparent in the corner, drawn in the middle.
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QVERIFY(qAlpha(image.pixel(side / 2, side / 2)) > 0);
}

QString TestPackage::MenuCommand() const {
    // The Exec key's command, looked up on a PATH made of the unpacked root's bin folder.
    const QString menuEntry =
        Rooted(QStringLiteral("usr/share/applications/%1.desktop").arg(AppId));
    const QString command =
        DesktopEntryValue(menuEntry, QStringLiteral("Exec")).section(QLatin1Char(' '), 0, 0);
    return QStandardPaths::findExecutable(command, {Rooted(QStringLiteral("usr/bin"))});
}

void TestPackage::menuCommandStartsProgram() {
    const QString command = MenuCommand();
    QVERIFY(!command.isEmpty());
    InstalledProgram program;
    QVERIFY(program.Start(command, QString(), QStringLiteral("Scanvale")));

    // The program runs from its private folder, and found and read the hand pointer beside
    // itself there; the drag pointer lies beside it too.
    const QString exe =
        QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(program.ProcessId()));
    QCOMPARE(exe, QFileInfo(Rooted(Program)).canonicalFilePath());
    const QDir folder = QFileInfo(exe).dir();
    QVERIFY(program.Opened(folder.filePath(QStringLiteral("HAND-M.CUR"))));
    QVERIFY(QFileInfo(folder.filePath(QStringLiteral("drag.ico"))).isFile());
}

void TestPackage::keepsDesignGeometryWhenScaled_data() {
    // The window is 441 x 428 device-independent pixels; scaled, it grows by the factor.
    QTest::addColumn<QString>("scale");
    QTest::addColumn<QSize>("physical");
    QTest::newRow("1x") << QStringLiteral("1") << QSize(441, 428);
    QTest::newRow("1.5x") << QStringLiteral("1.5") << QSize(662, 642);
    QTest::newRow("2x") << QStringLiteral("2") << QSize(882, 856);
}

void TestPackage::keepsDesignGeometryWhenScaled() {
    QFETCH(QString, scale);
    QFETCH(QSize, physical);
    InstalledProgram program;
    QVERIFY(program.Start(MenuCommand(), scale, QStringLiteral("Scanvale")));
    QCOMPARE(program.WindowSize(), physical);
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
