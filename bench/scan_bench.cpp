// The matcher's throughput on one block that stays in the cache, without any reading: fills a
// block with text from FILE and searches it over and over for PHRASE (which should not occur
// in it). Prints the block's size and GB/s. Shows how far the scan is from the copy speed of
// the kernel's read().
//
//   scanvale_scan_bench [--match-case] PHRASE FILE [BLOCK_BYTES] [MISALIGN]
#include "search/phrase.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    int first = 1;
    auto comparison = scanvale::Search::Comparison::Caseless;
    if (argc > 1 && std::string(argv[1]) == "--match-case") {
        comparison = scanvale::Search::Comparison::Exact;
        first = 2;
    }
    if (argc - first < 2) {
        std::fputs("usage: scanvale_scan_bench [--match-case] PHRASE FILE [BLOCK_BYTES] "
                   "[MISALIGN]\n",
                   stderr);
        return 2;
    }
    const size_t blockBytes =
        argc - first > 2 ? std::strtoul(argv[first + 2], nullptr, 10) : 102400;
    const size_t misalign = argc - first > 3 ? std::strtoul(argv[first + 3], nullptr, 10) : 0;
    std::vector<char> storage(blockBytes + misalign + 64);
    char* block = storage.data() + misalign;
    std::ifstream in(argv[first + 1], std::ios::binary);
    in.read(block, static_cast<std::streamsize>(blockBytes));
    const auto got = static_cast<size_t>(in.gcount());
    const scanvale::Search::Phrase phrase(argv[first], comparison);

    const auto start = std::chrono::steady_clock::now();
    const int rounds = 20000;
    int found = 0;
    for (int i = 0; i < rounds; ++i) {
        found += phrase.FoundIn({block, got}) ? 1 : 0;
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::printf("block %zu bytes, found %d times, %.2f GB/s\n", got, found,
                static_cast<double>(got) * rounds / seconds.count() / 1e9);
    return 0;
}
