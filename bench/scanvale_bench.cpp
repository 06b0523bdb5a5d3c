// Runs the search engine over folders the way the window does: its workers search while the
// main thread takes their results in a real Qt event loop, and prints what the results list
// would show.
//
//   scanvale_bench [--match-case] [--no-subfolders] [--workers N] [--readers N] [--lock-times]
//                  [--plain-reads] PHRASE FOLDER...
//
// --workers sets how many threads search (default: one per processor), --readers how many
// more may be added while others wait for the disk (default: the program's). Results go to
// stdout, one path per line; files examined, bytes read, seconds, the times the pipeline's
// lock was taken and the files read through io_uring to stderr, with --lock-times also how long
// the lock was held in all. --plain-reads keeps every file on plain system calls, to compare
// them with the batches through io_uring on one binary.
#include "event_loop_host.h"
#include "search/globals.h"
#include "search/search.h"
#include "search/search_statistics.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fputs("usage: scanvale_bench [--match-case] [--no-subfolders] [--workers N] "
               "[--readers N] [--lock-times] [--plain-reads] PHRASE FOLDER...\n",
               stderr);
    return 2;
}

// A count given after an option; false when it is missing or not a number.
bool Count(int& i, int argc, char** argv, unsigned& count) {
    if (i + 1 >= argc) {
        return false;
    }
    char* end = nullptr;
    const unsigned long value = std::strtoul(argv[++i], &end, 10);
    count = static_cast<unsigned>(value);
    return *end == '\0' && end != argv[i];
}

} // namespace

int main(int argc, char** argv) {
    // The event loop of a program without a screen: the window's platform would add its
    // start-up to every timed run (a search of a missing folder took 11.7 ms with it and
    // 5.5 ms without), and no search spends it.
    QCoreApplication app(argc, argv);

    int16_t compareMode = 1;
    int16_t includeSubfolders = 1;
    scanvale::Search::SearchSettings settings;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--match-case") {
            compareMode = 0;
        } else if (arg == "--no-subfolders") {
            includeSubfolders = 0;
        } else if (arg == "--workers") {
            if (!Count(i, argc, argv, settings.workers) || settings.workers == 0) {
                return Usage();
            }
        } else if (arg == "--readers") {
            if (!Count(i, argc, argv, settings.waitingReaders)) {
                return Usage();
            }
        } else if (arg == "--lock-times") {
            scanvale::Search::Statistics.timeLocks = true;
        } else if (arg == "--plain-reads") {
            settings.batchedReads = false;
        } else {
            words.push_back(arg);
        }
    }
    if (words.size() < 2) {
        return Usage();
    }

    scanvale::test::EventLoopHost host;
    host.keepProgress = false;
    const std::vector<std::string> extensionFilter = {"*"};
    QElapsedTimer timer;
    timer.start();
    scanvale::Globals::StopSearch = false;
    for (size_t i = 1; i < words.size() && !scanvale::Globals::StopSearch; ++i) {
        host.Yield();
        scanvale::Search::SearchFolder(words[i], extensionFilter, words[0], compareMode,
                                       includeSubfolders, host, settings);
    }
    for (const std::string& path : host.results) {
        std::fwrite(path.data(), 1, path.size(), stdout);
        std::fputc('\n', stdout);
    }
    std::fflush(stdout);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const auto& statistics = scanvale::Search::Statistics;
    std::fprintf(stderr,
                 "files examined %llu, bytes read %llu, seconds %.3f, pipeline locks %llu, "
                 "read through io_uring %llu, read in spans %llu, batches shared %llu\n",
                 static_cast<unsigned long long>(statistics.filesExamined),
                 static_cast<unsigned long long>(statistics.bytesRead), seconds,
                 static_cast<unsigned long long>(statistics.pipelineLocks),
                 static_cast<unsigned long long>(statistics.filesBatched),
                 static_cast<unsigned long long>(statistics.filesSpanned),
                 static_cast<unsigned long long>(statistics.batchesShared));
    if (statistics.timeLocks) {
        const auto files =
            static_cast<double>(statistics.filesExamined > 0 ? statistics.filesExamined.load() : 1);
        std::fprintf(stderr,
                     "pipeline lock held %.3f ms in all, %.1f ns per file, %.2f locks per file\n",
                     static_cast<double>(statistics.pipelineLockNanos) / 1e6,
                     static_cast<double>(statistics.pipelineLockNanos) / files,
                     static_cast<double>(statistics.pipelineLocks) / files);
    }
    std::fflush(stderr);
    // Ends at once, as the window's process does when it is closed: tearing down the toolkit
    // would add milliseconds that no search spends.
    std::_Exit(0);
}
