#include "end_process.h"

#include <cstdio>
#include <cstdlib>

namespace scanvale {

void EndProcess() noexcept {
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}

} // namespace scanvale
