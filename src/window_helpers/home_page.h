#pragma once

#include <QUrl>
#include <functional>

namespace scanvale {

// The maker's home page, opened now and then at start-up (the build's SCANVALE_HOME_PAGE, the
// address the metainfo and the package give).
inline constexpr const char* HomePageAddress = SCANVALE_HOME_PAGE;

// The number 1..100 that a draw r in [0, 1) stands for: floor(r * 100) + 1.
int HomePageNumber(double r);

// The draw that start-up uses: a generator seeded from the time since midnight, one number
// uniform in [0, 1).
double DrawFromClock();

// Opens `address` through the desktop's URL opener without waiting; the outcome is ignored.
void OpenInBrowser(const QUrl& address);

// Draws once with `draw`; when the draw stands for 7 (one start in a hundred) hands the home
// page address to `open`. Any other draw does nothing.
void MaybeOpenHomePage(const std::function<double()>& draw,
                       const std::function<void(const QUrl&)>& open);

// The same with the clock-seeded draw and the desktop's URL opener.
void MaybeOpenHomePage();

} // namespace scanvale
