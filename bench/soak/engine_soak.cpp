// Soaks the engine over a large tree the way the window runs it (its workers search while the
// main thread takes their results in a real Qt event loop) and shows that memory stays flat:
// the peak resident memory is sampled as the files go by, and must not climb with their number.
//
//   scanvale_engine_soak PHRASE FOLDER
//
// Prints the samples (files examined, peak KiB), then files, bytes, seconds, files per second,
// MB per second and the final peak. The phrase is meant to occur nowhere, so every byte is read
// and the results stay empty.
#include "event_loop_host.h"
#include "peak_memory.h"
#include "search/globals.h"
#include "search/search.h"
#include "search/search_statistics.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

using scanvale::bench::PeakMemoryKiB;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: scanvale_engine_soak PHRASE FOLDER\n", stderr);
        return 2;
    }
    scanvale::test::EventLoopHost host;
    host.keepProgress = false;
    uint64_t nextSample = 0;
    host.onTurn = [&nextSample] {
        const uint64_t files = scanvale::Search::Statistics.filesExamined;
        if (files >= nextSample) {
            std::printf("files %10llu  peak %8ld KiB\n", static_cast<unsigned long long>(files),
                        PeakMemoryKiB());
            std::fflush(stdout);
            nextSample = files < 1000 ? 1000 : files * 2;
        }
    };
    QElapsedTimer timer;
    timer.start();
    scanvale::Globals::StopSearch = false;
    scanvale::Search::SearchFolder(argv[2], {"*"}, argv[1], 1, 1, host);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const auto files = static_cast<double>(scanvale::Search::Statistics.filesExamined);
    const auto bytes = static_cast<double>(scanvale::Search::Statistics.bytesRead);
    std::printf("results %llu, files %.0f, bytes %.0f, seconds %.2f, files/s %.0f, MB/s %.0f, "
                "peak %ld KiB\n",
                static_cast<unsigned long long>(host.results.size()), files, bytes, seconds,
                files / seconds, bytes / seconds / 1e6, PeakMemoryKiB());
    return 0;
}
