#include "active_saves.h"

#include "results_file.h"

#include <algorithm>

namespace scanvale {

void ActiveSaves::Add(ResultsFile* file) {
    files_.push_back(file);
}

void ActiveSaves::Remove(ResultsFile* file) {
    std::erase(files_, file);
}

void ActiveSaves::AbandonAll() {
    // Abandon() leaves the list alone, so iterating over it here is safe.
    for (ResultsFile* file : files_) {
        file->Abandon();
    }
}

} // namespace scanvale
