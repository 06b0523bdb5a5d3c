#pragma once

namespace scanvale {

// Ends the process at once with status 0: no event loop is left, no destructor runs and no
// handler that is suspended in a nested event loop resumes. Pending standard output is
// flushed first; open files are closed by the operating system.
[[noreturn]] void EndProcess() noexcept;

} // namespace scanvale
