// The folder walk: listing order, one result per folder, subfolders, and a stop in any of the
// window's turns.
#include "engine_test.h"
#include "search/directory_listing.h"
#include "search/folder_listing.h"
#include "search/pipeline.h"

#include <QtTest>
#include <algorithm>
#include <random>

namespace {

RecordingHost Walk(const std::string& folder, const std::string& phrase, bool subfolders) {
    RecordingHost host;
    Search::SearchFolder(
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

    // A stop in one of the window's turns ends the walk there: nothing the workers found beyond
    // it is shown, and every worker ends. With a turn after each thing shown, the stop comes
    // right after the n-th: the folder (before its result), its result (before its subfolders),
    // a folder of thousands of files (while it is listed or examined), one of hundreds of
    // folders without files; or never, and the walk shows all that the reference walk does.
    void stopEndsTheWalkInItsTurn() {
        const TestTree tree;
        tree.Write("a.txt", "nothing");
        tree.Write("b.txt", "needle");
        for (size_t i = 0; i < 2 * Search::ListingCheckInterval + 10; ++i) {
            tree.Write("big/f" + std::to_string(10000 + i) + ".txt", i == 0 ? "x" : "needle");
        }
        for (int i = 0; i < 300; ++i) {
            tree.Folder("empty-" + std::to_string(100 + i));
        }
        tree.Write("zzz/last.txt", "needle");
        RecordingHost all;
        SearchFolderSequentially(tree.Root(), {.phrase = "needle"}, all);
        const size_t everything = all.results.size() + all.progress.size();
        for (const size_t stopAfter : {size_t{1}, size_t{2}, size_t{3}, size_t{200}, everything}) {
            for (const unsigned workers : {1u, 4u}) {
                Globals::StopSearch = false;
                RecordingHost host;
                host.onTurn = [&] {
                    Globals::StopSearch = stopAfter < everything &&
                                          host.results.size() + host.progress.size() >= stopAfter;
                };
                Search::SearchFolder(tree.Root(), {.phrase = "needle"}, host,
                                     {.workers = workers, .yieldInterval = {}});
                const QByteArray what = QStringLiteral("stop after %1, %2 workers")
                                            .arg(stopAfter)
                                            .arg(workers)
                                            .toUtf8();
                QVERIFY2(host.results.size() + host.progress.size() == stopAfter, what.constData());
                QVERIFY2(Begins(all.progress, host.progress), what.constData());
                QVERIFY2(Begins(all.results, host.results), what.constData());
                QTRY_COMPARE(Search::Pipeline::RunningWorkers(), 0u);
            }
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
};

QTEST_GUILESS_MAIN(TestSearchFolder)
#include "tst_search_folder.moc"
