#pragma once

namespace scanvale {

// Ends the process at once with status 0: no event loop is left, no destructor runs and no
// handler that is suspended in a nested event loop resumes. Pending standard output is
// flushed first; every other descriptor is closed, so the window goes from the screen at once
// even when a search's worker is stuck in a call to a file system that stopped answering
// (the kernel lets that one thread, and so the process, end only when the call returns).
[[noreturn]] void EndProcess() noexcept;

} // namespace scanvale
