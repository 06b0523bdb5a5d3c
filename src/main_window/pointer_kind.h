#pragma once

namespace scanvale {

// The window's pointer kinds. Hourglass doubles as the busy marker: the hover feedback leaves
// it alone while a longer piece of work is under way.
enum class PointerKind : int { Default = 0, Arrow = 1, Hourglass = 11, Custom = 99 };

} // namespace scanvale
