#include "changing_walk.h"

#include "search/pipeline.h"
#include "search/search.h"
#include "search/search_statistics.h"

#include <QtTest>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace scanvale::test {

void SearchWhileChanging(const TestTree& tree, const std::function<void()>& change,
                         RecordingHost& host) {
    const std::string slow = tree.Write("0-slow.txt", std::string(size_t{4} << 20, '.'));
    // Cut through a descriptor: the change may remove the file or close its folder.
    const int slowFile = ::open(slow.c_str(), O_WRONLY | O_CLOEXEC);
    QVERIFY(slowFile >= 0);
    while (Search::Pipeline::RunningWorkers() != 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1)); // no other walk's files count
    }
    const uint64_t examinedBefore = Search::Statistics.filesExamined;
    bool changed = false;
    host.waitAtMost = std::chrono::milliseconds(1);
    host.onTurn = [&] {
        if (!changed && Search::Statistics.filesExamined > examinedBefore) {
            changed = true;
            change();
            QVERIFY(::ftruncate(slowFile, 0) == 0);
        }
    };
    Search::SearchFolder(tree.Root(), {.phrase = "needle"}, host,
                         {.blockSize = 2, .workers = 1, .waitingReaders = 0});
    host.onTurn = nullptr;
    ::close(slowFile);
    QVERIFY(changed);
}

} // namespace scanvale::test
