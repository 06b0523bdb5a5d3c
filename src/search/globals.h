#pragma once

namespace scanvale::Globals {

// The process-wide stop flag of a search. False when the program starts; the search button's
// handler clears it when a run starts and sets it on a stop request and at the end of every
// run. The search tests it after each yield to the window and unwinds when it is set. Only
// the window's thread touches it (the search's worker threads never read it), so it needs no
// atomic access.
inline bool StopSearch = false;

} // namespace scanvale::Globals
