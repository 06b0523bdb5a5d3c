#include "end_process.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace scanvale {

void EndProcess() noexcept {
    std::fflush(nullptr);
    // The display connection and every file are released here, not when the last thread
    // ends: a thread stuck in a FUSE request that its server took cannot be ended by anyone.
    ::close_range(3, ~0U, 0);
    std::_Exit(EXIT_SUCCESS);
}

} // namespace scanvale
