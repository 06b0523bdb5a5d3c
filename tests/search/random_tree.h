#pragma once

#include "tree_fixture.h"

#include <cstddef>
#include <random>
#include <string>
#include <vector>

namespace scanvale::test {

// Writes a random tree for the differential tests: odd names, text and binary heads, files in
// UTF-16 and UTF-32, sizes around small block sizes, the phrase "needle" in any case and across
// block ends, links to files and folders, dangling links, FIFOs, and entries nobody may read. The
// same seed and shape always give the same tree.
class RandomTree {
public:
    enum class Shape {
        // 1 to 4 levels of 2 to 11 entries; every fifth tree has some 150 subfolders at the
        // top (more than the walk takes up ahead), each with a few files.
        Small,
        // Shaped like system folders and package installs: up to 20 levels, chains of single
        // subfolders, many empty folders, a few folders with hundreds of subfolders, and links
        // to folders up, down and across the tree. Some 1,500 folders.
        RealLike,
    };

    RandomTree(const TestTree& tree, unsigned seed, Shape shape = Shape::Small);

    // Drops the files' pages from the page cache, so that reading them waits for the disk.
    void DropPages() const;

    size_t Folders() const { return folders_.size(); }

private:
    struct Folder {
        std::string path; // relative to the root
        size_t parent;    // index in folders_; the root is its own parent
        int depth;
        size_t below = 0; // folders in its tree, itself not counted
    };

    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }
    std::string Name();
    std::string Contents();
    // One text in eight, written in UTF-16 or UTF-32 with its byte-order mark instead; some of
    // them with a lone surrogate inside or one to three stray bytes at the end.
    std::string Widened(const std::string& text);
    void WriteFile(const std::string& path);
    void FillSmall(const std::string& folder, int depth);
    void FillRealLike();
    void LinkFolders();

    const TestTree& tree_;
    std::mt19937 random_;
    const int depth_;
    const bool wide_;
    std::vector<std::string> files_;
    std::vector<Folder> folders_; // RealLike: every folder, parents before their subfolders
};

} // namespace scanvale::test
