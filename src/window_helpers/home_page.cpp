#include "home_page.h"

#include <QDesktopServices>
#include <QTime>
#include <cmath>
#include <random>

namespace scanvale {

int HomePageNumber(double r) {
    return static_cast<int>(std::floor(r * 100.0)) + 1;
}

double DrawFromClock() {
    // Seeded from the time of day, to the millisecond, so two starts rarely draw alike.
    std::mt19937 generator(
        static_cast<std::mt19937::result_type>(QTime::currentTime().msecsSinceStartOfDay()));
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}

void OpenInBrowser(const QUrl& address) {
    // The desktop's opener (xdg-open on X11) is started detached; its result is of no concern.
    QDesktopServices::openUrl(address);
}

void MaybeOpenHomePage(const std::function<double()>& draw,
                       const std::function<void(const QUrl&)>& open) {
    if (HomePageNumber(draw()) == 7) {
        open(QUrl(QString::fromLatin1(HomePageAddress)));
    }
}

void MaybeOpenHomePage() {
    MaybeOpenHomePage(DrawFromClock, OpenInBrowser);
}

} // namespace scanvale
