#include "search/folder_listing.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace scanvale::Search {

namespace {

enum class EntryKind { File, Folder, Other };

// What an entry lists as. A symbolic link counts as what it points to; a dangling link, a FIFO,
// a socket or a device counts as neither file nor folder.
EntryKind KindOf(int folder, const dirent64& entry) {
    switch (entry.d_type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::Other;
    }
    struct stat st {};
    if (::fstatat(folder, entry.d_name, &st, 0) != 0) {
        return EntryKind::Other;
    }
    if (S_ISREG(st.st_mode)) {
        return EntryKind::File;
    }
    return S_ISDIR(st.st_mode) ? EntryKind::Folder : EntryKind::Other;
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

bool ListFolder(int folder, DirectoryListing& files, DirectoryListing* subfolders,
                const std::function<bool()>& goOn) {
    files.Clear();
    if (subfolders != nullptr) {
        subfolders->Clear();
    }
    // The names are read straight from the folder's own descriptor: the position it moves does
    // not matter to the *at() calls that open its entries, and a directory stream would cost a
    // duplicate descriptor, an fstat and fcntl calls for every folder.
    alignas(dirent64) char buffer[32768];
    size_t entries = 0;
    for (;;) {
        const ssize_t got = ::getdents64(folder, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false; // the folder went away or cannot be read: skipped as a whole
        }
        if (got == 0) {
            break;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            at += entry->d_reclen;
            if (++entries % ListingCheckInterval == 0 && !goOn()) {
                return false;
            }
            if (IsDotOrDotDot(entry->d_name)) {
                continue;
            }
            const EntryKind kind = KindOf(folder, *entry);
            if (kind == EntryKind::File) {
                files.Add(entry->d_name);
            } else if (kind == EntryKind::Folder && subfolders != nullptr) {
                subfolders->Add(entry->d_name);
            }
        }
    }
    files.Sort();
    if (subfolders != nullptr) {
        subfolders->Sort();
    }
    return true;
}

} // namespace scanvale::Search
