#pragma once

#include <QTemporaryDir>
#include <string>
#include <string_view>

// A folder tree under a temporary folder that is removed with the object. Paths are relative
// to the root; parent folders are created as needed.
class TestTree {
public:
    TestTree();
    // A tree under `base` instead of the default temporary folder.
    explicit TestTree(const QString& base);
    ~TestTree();
    TestTree(const TestTree&) = delete;
    TestTree& operator=(const TestTree&) = delete;

    std::string Root() const { return root_; }
    std::string Path(std::string_view relative) const;

    std::string Write(std::string_view relative, std::string_view bytes) const;
    std::string Folder(std::string_view relative) const;
    std::string Link(std::string_view target, std::string_view relative) const;
    std::string Fifo(std::string_view relative) const;
    // Writes a file `levels` folders named `folder` below the root, deeper than a path can
    // name in one call; returns its full path.
    std::string WriteDeep(int levels, const std::string& folder, std::string_view bytes) const;

private:
    QTemporaryDir dir_;
    std::string root_;
};
