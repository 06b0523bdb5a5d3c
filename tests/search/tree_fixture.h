#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <string>
#include <string_view>
#include <vector>

namespace scanvale::test {

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
    // The paths of `relative`, in that order.
    std::vector<std::string> Paths(const QStringList& relative) const;

    std::string Write(std::string_view relative, std::string_view bytes) const;
    std::string Folder(std::string_view relative) const;
    std::string Link(std::string_view target, std::string_view relative) const;
    std::string Fifo(std::string_view relative) const;
    // Writes the file f.txt at the end of the chain of `folders` below the root, made one
    // level at a time so that the path may be longer than one call can name; returns its
    // full path.
    std::string WriteBelow(const std::vector<std::string>& folders, std::string_view bytes) const;
    // WriteBelow with `levels` folders named `folder`.
    std::string WriteDeep(int levels, const std::string& folder, std::string_view bytes) const;

private:
    QTemporaryDir dir_;
    std::string root_;
};

} // namespace scanvale::test
