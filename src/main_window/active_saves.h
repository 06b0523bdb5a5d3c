#pragma once

#include <vector>

namespace scanvale {

class ResultsFile;

// The results files being written at this moment: more than one when a save is pressed
// during another save's yield. The window ends the process without running destructors, so
// before it does it abandons every save listed here and no temporary file is left behind.
class ActiveSaves {
public:
    // A ResultsFile lists itself while it lives; `file` must be removed before it is destroyed.
    void Add(ResultsFile* file);
    void Remove(ResultsFile* file);

    // Abandons every listed save: each temporary file is removed and each target is left as it
    // was before that save began.
    void AbandonAll();

private:
    std::vector<ResultsFile*> files_;
};

} // namespace scanvale
