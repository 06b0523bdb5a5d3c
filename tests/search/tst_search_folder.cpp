// The folder walk: listing order, one result per folder, subfolders, stops, yields.
// What the walk shows is checked on the program's pipelined walk; where each of the window's
// turns falls is checked on the sequential walk it is held to.
#include "engine_test.h"
#include "search/directory_listing.h"
#include "search/folder_listing.h"

#include <QtTest>
#include <algorithm>
#include <random>

using scanvale::test::SequentialWalk;

namespace {

RecordingHost Walk(const std::string& folder, const std::string& phrase, bool subfolders) {
    RecordingHost host;
    Search::SearchFolder(
        folder, {.phrase = phrase, .comparison = Caseless, .includeSubfolders = subfolders}, host);
    return host;
}

// The sequential walk, with `onTurn` run in each of the window's turns.
RecordingHost WalkSequentially(const std::string& folder, const std::string& phrase,
                               bool subfolders, std::function<void(RecordingHost&)> onTurn) {
    RecordingHost host;
    host.onTurn = [&host, onTurn] { onTurn(host); };
    SearchFolderSequentially(
        folder, {.phrase = phrase, .comparison = Caseless, .includeSubfolders = subfolders}, host);
    return host;
}

} // namespace

class TestSearchFolder : public QObject {
    Q_OBJECT

private slots:
    void init() { Globals::StopSearch = false; }

    void listsTheFirstMatchingFileOfEachFolder() {
        const TestTree tree;
        tree.Write("b.txt", "a needle");
        tree.Write("a.txt", "no match here");
        tree.Write("c.txt", "needle again");
        tree.Write("C.txt", "Needle first in byte order"); // 'C' sorts before 'a'
        tree.Write("\xC3\xA9.txt", "needle");              // bytes above 127 sort last
        tree.Write("sub/x.txt", "needle");
        tree.Write("sub/y.txt", "needle");
        tree.Write("sub/deeper/z.txt", "needle");
        const auto host = Walk(tree.Root(), "needle", true);
        QCOMPARE(host.results, (Paths{tree.Path("C.txt"), tree.Path("sub/x.txt"),
                                      tree.Path("sub/deeper/z.txt")}));
        QCOMPARE(host.progress, (Paths{"Searching " + tree.Root(), "Searching " + tree.Path("sub"),
                                       "Searching " + tree.Path("sub/deeper")}));
    }

    void filesComeBeforeSubfolders() {
        const TestTree tree;
        tree.Write("aaa/f.txt", "needle");
        tree.Write("zzz.txt", "needle");
        tree.Write("bbb/f.txt", "needle");
        const auto host = Walk(tree.Root(), "needle", true);
        QCOMPARE(host.results,
                 (Paths{tree.Path("zzz.txt"), tree.Path("aaa/f.txt"), tree.Path("bbb/f.txt")}));
    }

    void subfoldersOnlyWhenAsked() {
        const TestTree tree;
        tree.Write("sub/f.txt", "needle");
        const auto host = Walk(tree.Root(), "needle", false);
        QVERIFY(host.results.empty());
        QCOMPARE(host.progress, Paths{"Searching " + tree.Root()});
    }

    void stopsBeforeAFile() {
        const TestTree tree;
        tree.Write("a.txt", "nothing");
        tree.Write("b.txt", "needle");
        tree.Write("sub/c.txt", "needle");
        const auto host = WalkSequentially(tree.Root(), "needle", true, [](RecordingHost& h) {
            Globals::StopSearch = h.yields == 2;
        });
        QVERIFY(host.results.empty());
        QCOMPARE(host.yields, 2);
        QCOMPARE(host.progress.size(), 1u);
    }

    void stopsBeforeASubfolder() {
        const TestTree tree;
        tree.Write("a.txt", "needle");
        tree.Write("sub/c.txt", "needle");
        // The stop arrives while the last file of the folder is examined.
        const auto host = WalkSequentially(tree.Root(), "needle", true,
                                           [](RecordingHost&) { Globals::StopSearch = true; });
        QVERIFY(host.results.empty());
        QCOMPARE(host.progress, Paths{"Searching " + tree.Root()});
    }

    // A folder of many names gives the window its turns while it is listed, before any of
    // its files is examined. A stop in one of those turns ends the walk there; a search
    // started in one runs to its end and the listing goes on undisturbed.
    void yieldsWhileListingALargeFolder_data() {
        QTest::addColumn<QString>("inFirstTurn");
        QTest::newRow("nothing") << QString();
        QTest::newRow("stop") << QStringLiteral("stop");
        QTest::newRow("nested search") << QStringLiteral("nested");
    }
    void yieldsWhileListingALargeFolder() {
        QFETCH(QString, inFirstTurn);
        const TestTree tree;
        const size_t count = 2 * Search::ListingCheckInterval + 10;
        for (size_t i = 0; i < count; ++i) {
            tree.Write("big/f" + std::to_string(10000 + i) + ".txt", "needle");
        }
        const std::string sub = tree.Write("big/sub/g.txt", "needle");
        const std::string other = tree.Write("other/o.txt", "needle");
        // Counts the yields that came before the first result.
        struct FirstResultHost : RecordingHost {
            int firstResultAt = -1;
            void AddResult(std::string_view path) override {
                if (firstResultAt < 0) {
                    firstResultAt = yields;
                }
                RecordingHost::AddResult(path);
            }
        } host;
        host.onTurn = [&] {
            if (host.yields == 1 && inFirstTurn == QStringLiteral("stop")) {
                Globals::StopSearch = true;
            } else if (host.yields == 1 && inFirstTurn == QStringLiteral("nested")) {
                SearchFolderSequentially(tree.Path("other"), {.phrase = "needle"}, host);
            }
        };
        SearchFolderSequentially(tree.Path("big"), {.phrase = "needle"}, host);
        const std::string first = tree.Path("big/f10000.txt");
        if (inFirstTurn == QStringLiteral("stop")) {
            QVERIFY(host.results.empty());
            QCOMPARE(host.yields, 1);
            QCOMPARE(host.progress.size(), 1u);
        } else if (inFirstTurn == QStringLiteral("nested")) {
            QCOMPARE(host.results, (Paths{other, first, sub}));
        } else {
            // Two turns while listing (entries "." and ".." count too), one before the file.
            QCOMPARE(host.firstResultAt, 3);
            QCOMPARE(host.results, (Paths{first, sub}));
        }
    }

    // The listing's quick comparison of leading bytes orders names exactly as comparing
    // their bytes does: shared prefixes, names shorter than the prefix, bytes above 127.
    void listingOrderIsByteOrder() {
        std::vector<std::string> names = {"abcdefgh2",  "abcdefgh10", "abcdefgh", "abc",
                                          "ab\xC3\xA9", "abd",        "B",        "abcdefgg\xFF",
                                          "~",          "abcdefgh1",  "a b",      "abcdefghi"};
        std::mt19937 random(7);
        for (int i = 0; i < 300; ++i) {
            std::string name;
            const auto length = std::uniform_int_distribution<size_t>(1, 12)(random);
            for (size_t k = 0; k < length; ++k) {
                name += "ab\xE9"[std::uniform_int_distribution<size_t>(0, 2)(random)];
            }
            names.push_back(name);
        }
        Search::DirectoryListing listing;
        for (const std::string& name : names) {
            listing.Add(name);
        }
        listing.Sort();
        std::sort(names.begin(), names.end());
        QCOMPARE(listing.Size(), names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            QCOMPARE(std::string(listing.NameView(i)), names[i]);
            QCOMPARE(std::string(listing.Name(i)), names[i]);
        }
    }

    void folderSearchedTwiceListsItsFileTwice() {
        const TestTree tree;
        const std::string path = tree.Write("f.txt", "needle");
        RecordingHost host;
        Search::SearchFolder(tree.Root(), {.phrase = "needle"}, host);
        Search::SearchFolder(tree.Root() + "/", {.phrase = "needle"}, host);
        QCOMPARE(host.results, (Paths{path, path}));
    }

    void rootFolderHasNoDoubledSeparator() {
        // Stops as soon as the root is shown.
        struct StoppingHost : RecordingHost {
            void ShowProgress(std::string_view text) override {
                RecordingHost::ShowProgress(text);
                Globals::StopSearch = true;
            }
        } host;
        Search::SearchFolder("/", {.phrase = "needle"}, host);
        QCOMPARE(host.progress.front(), std::string("Searching /"));
    }

    // A search started from inside a yield (the window's handlers run there) has its own
    // buffer: the outer search still finds a phrase that straddles its blocks.
    void nestedSearchLeavesTheOuterOneIntact() {
        const TestTree tree;
        const std::string big =
            tree.Write("outer/big.txt", std::string(Search::BlockSize - 3, '.') + "needle");
        tree.Write("outer/z.txt", std::string(Search::BlockSize * 2, '-'));
        const std::string other = tree.Write("inner/f.txt", std::string(40, '+') + "other");
        RecordingHost host;
        bool nested = false;
        host.onTurn = [&] {
            if (!nested && host.yields == 2) { // before the second block of big.txt
                nested = true;
                SearchFolderSequentially(tree.Path("inner"),
                                         {.phrase = "other", .comparison = Caseless}, host);
            }
        };
        SearchFolderSequentially(tree.Path("outer"), {.phrase = "needle", .comparison = Caseless},
                                 host);
        QCOMPARE(host.results, (Paths{other, big}));
    }

    // Folders without files give no file to yield before; the walk still gives the window its
    // turn every so many folders, so it answers and a stop ends the walk there.
    void foldersWithoutFilesStillYield() {
        const TestTree tree;
        // With the root and "zzz", 2 * interval + 2 folders are entered: two turns.
        const size_t count = 2 * SequentialWalk::FolderYieldInterval;
        for (size_t i = 0; i < count; ++i) {
            tree.Folder("empty-" + std::to_string(i));
        }
        tree.Write("zzz/last.txt", "needle");
        const auto walked = WalkSequentially(tree.Root(), "needle", true, [](RecordingHost&) {});
        QCOMPARE(walked.results, Paths{tree.Path("zzz/last.txt")});
        // Two turns on entering folders, one before the only file.
        QCOMPARE(walked.yields, 3);

        const auto stopped = WalkSequentially(tree.Root(), "needle", true,
                                              [](RecordingHost&) { Globals::StopSearch = true; });
        QVERIFY(stopped.results.empty());
        QCOMPARE(stopped.yields, 1);
        QCOMPARE(stopped.progress.size(), SequentialWalk::FolderYieldInterval - 1);
    }
};

QTEST_GUILESS_MAIN(TestSearchFolder)
#include "tst_search_folder.moc"
