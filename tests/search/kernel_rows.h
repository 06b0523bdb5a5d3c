#pragma once

// Runs every test function of a test class once for each literal-scan kernel this machine can
// run, so that a machine with AVX2 tests the SSE2 and portable kernels too: call
// AddKernelRows() from the class's initTestCase_data() and UseKernelOfRow() from its init().
#include "search/literal_finder.h"

#include <QTest>

namespace scanvale::test {

inline void AddKernelRows() {
    using Kernel = Search::LiteralFinder::Kernel;
    QTest::addColumn<Kernel>("kernel");
    for (const Kernel kernel : Search::LiteralFinder::Kernels()) {
        static constexpr const char* Names[] = {"portable", "sse2", "avx2"};
        QTest::newRow(Names[static_cast<int>(kernel)]) << kernel;
    }
}

inline void UseKernelOfRow() {
    QFETCH_GLOBAL(Search::LiteralFinder::Kernel, kernel);
    Search::LiteralFinder::UseKernel(kernel);
}

} // namespace scanvale::test
