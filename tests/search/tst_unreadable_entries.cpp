// Files and folders the user may not read: skipped without a message, the walk goes on.
// Root reads everything, so under root these checks are skipped here and run again as nobody
// (see run_unprivileged.sh).
#include "changing_walk.h"
#include "engine_test.h"

#include <QScopeGuard>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

class TestUnreadableEntries : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (::geteuid() == 0) {
            QSKIP("permissions do not keep root out; these checks run again as nobody");
        }
    }
    void init() { Globals::StopSearch = false; }

    // The tree holds a.txt, b.txt, sub1/f.txt and sub2/f.txt, all with the phrase; one entry
    // loses permissions before the walk, or once the folder is listed and before a.txt is
    // opened (SearchWhileChanging).
    void closedEntriesAreSkipped_data() {
        QTest::addColumn<QString>("closed");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("duringWalk");
        QTest::addColumn<QStringList>("expected");
        const QStringList all{"a.txt", "sub1/f.txt", "sub2/f.txt"};
        QTest::newRow("file without read permission")
            << "a.txt" << 0 << false << QStringList{"b.txt", "sub1/f.txt", "sub2/f.txt"};
        QTest::newRow("write-only file")
            << "a.txt" << 0200 << false << QStringList{"b.txt", "sub1/f.txt", "sub2/f.txt"};
        QTest::newRow("file closed while the walk waits before it")
            << "a.txt" << 0 << true << QStringList{"b.txt", "sub1/f.txt", "sub2/f.txt"};
        QTest::newRow("folder that cannot be listed")
            << "sub1" << 0300 << false << QStringList{"a.txt", "sub2/f.txt"};
        QTest::newRow("folder listed but not entered")
            << "sub1" << 0600 << false << QStringList{"a.txt", "sub2/f.txt"};
        QTest::newRow("folder closed while its parent's files are examined")
            << "sub1" << 0 << true << QStringList{"a.txt", "sub2/f.txt"};
        QTest::newRow("the searched folder itself cannot be listed")
            << "" << 0300 << false << QStringList{};
        QTest::newRow("the searched folder itself closed during the walk")
            << "" << 0 << true << QStringList{};
        QTest::newRow("nothing closed") << "none" << 0 << false << all;
    }
    void closedEntriesAreSkipped() {
        QFETCH(QString, closed);
        QFETCH(int, mode);
        QFETCH(bool, duringWalk);
        QFETCH(QStringList, expected);
        const TestTree tree;
        for (const char* name : {"a.txt", "b.txt", "sub1/f.txt", "sub2/f.txt"}) {
            tree.Write(name, "needle");
        }
        const std::string target = tree.Path(closed.toStdString());
        struct stat st {};
        QVERIFY(::stat(target.c_str(), &st) == 0 || closed == "none");
        // Restores the mode before the tree is removed, also when a check fails.
        const auto restore = qScopeGuard([&] { ::chmod(target.c_str(), st.st_mode & 07777); });
        auto close = [&] {
            if (closed != "none") {
                QVERIFY(::chmod(target.c_str(), static_cast<mode_t>(mode)) == 0);
            }
        };
        RecordingHost host;
        if (duringWalk) {
            scanvale::test::SearchWhileChanging(tree, close, host);
        } else {
            close();
            Search::SearchFolder(tree.Root(), {.phrase = "needle"}, host);
        }
        QCOMPARE(host.results, tree.Paths(expected));
    }

    void searchFileOnUnreadablePaths_data() {
        QTest::addColumn<QString>("closed");
        QTest::addColumn<int>("mode");
        QTest::newRow("file without read permission") << "sub/f.txt" << 0;
        QTest::newRow("folder without search permission") << "sub" << 0600;
    }
    void searchFileOnUnreadablePaths() {
        QFETCH(QString, closed);
        QFETCH(int, mode);
        const TestTree tree;
        const std::string path = tree.Write("sub/f.txt", "needle");
        const std::string target = tree.Path(closed.toStdString());
        const auto restore = qScopeGuard([&] { ::chmod(target.c_str(), 0755); });
        QVERIFY(::chmod(target.c_str(), static_cast<mode_t>(mode)) == 0);
        for (const Search::Comparison compareMode : {Exact, Caseless}) {
            RecordingHost host;
            QVERIFY(!SearchFile(path, "needle", compareMode, host));
            QVERIFY(host.results.empty());
        }
    }
};

QTEST_GUILESS_MAIN(TestUnreadableEntries)
#include "tst_unreadable_entries.moc"
