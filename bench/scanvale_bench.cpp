// Runs the search engine over folders the way the window does, with a yield into a real Qt
// event loop before every file and block, and prints what the results list would show.
//
//   scanvale_bench [--match-case] [--no-subfolders] PHRASE FOLDER...
//
// Results go to stdout, one path per line; files examined, bytes read and seconds to stderr.
#include "search/globals.h"
#include "search/search.h"
#include "search/search_statistics.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class BenchHost : public scanvale::SearchHost {
public:
    void AddResult(std::string_view path) override {
        std::fwrite(path.data(), 1, path.size(), stdout);
        std::fputc('\n', stdout);
    }
    void ShowProgress(std::string_view) override {}
    void Yield() override { QCoreApplication::processEvents(); }
};

int Usage() {
    std::fputs("usage: scanvale_bench [--match-case] [--no-subfolders] PHRASE FOLDER...\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);

    int16_t compareMode = 1;
    int16_t includeSubfolders = 1;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--match-case") {
            compareMode = 0;
        } else if (arg == "--no-subfolders") {
            includeSubfolders = 0;
        } else {
            words.push_back(arg);
        }
    }
    if (words.size() < 2) {
        return Usage();
    }

    BenchHost host;
    const std::vector<std::string> extensionFilter = {"*"};
    QElapsedTimer timer;
    timer.start();
    Globals::StopSearch = false;
    for (size_t i = 1; i < words.size() && !Globals::StopSearch; ++i) {
        host.Yield();
        Search::SearchFolder(words[i], extensionFilter, words[0], compareMode, includeSubfolders,
                             host);
    }
    std::fflush(stdout);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    std::fprintf(stderr, "files examined %llu, bytes read %llu, seconds %.3f\n",
                 static_cast<unsigned long long>(Search::Statistics.filesExamined),
                 static_cast<unsigned long long>(Search::Statistics.bytesRead), seconds);
    std::fflush(stderr);
    // Ends at once, as the window's process does when it is closed: tearing down the toolkit
    // would add milliseconds that no search spends.
    std::_Exit(0);
}
