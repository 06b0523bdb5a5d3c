# scanvale_options: the compile options every target of the project links, C++ and C alike
# (the program, its libraries, the asset tools, the tests, the benchmarks and the fuzzers):
#   target_link_libraries(<target> PRIVATE scanvale_options)
# SCANVALE_WARNINGS_AS_ERRORS turns the warnings into errors; CI sets it so a new warning fails
# the build.
option(SCANVALE_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

add_library(scanvale_options INTERFACE)
# -Wconversion also warns of sign changes in C (GCC and clang) and in C++ with clang (the
# fuzzers), not in C++ with GCC.
target_compile_options(scanvale_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion
    $<$<BOOL:${SCANVALE_WARNINGS_AS_ERRORS}>:-Werror>)
