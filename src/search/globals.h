#pragma once

namespace Globals {

// The process-wide stop flag of a search. False when the program starts; the search button's
// handler clears it when a run starts and sets it on a stop request and at the end of every
// run. The folder walk and the file match test it after each yield and unwind when it is set.
// Only the window's one thread touches it, so it needs no atomic access.
inline bool StopSearch = false;

} // namespace Globals
