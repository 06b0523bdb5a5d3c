# scanvale_options: the compile options every target of the project links, C++ and C alike
# (the program, its libraries, the asset tools, the tests, the benchmarks and the fuzzers):
#   target_link_libraries(<target> PRIVATE scanvale_options)
# SCANVALE_WARNINGS_AS_ERRORS turns the warnings into errors; CI sets it so a new warning fails
# the build.
option(SCANVALE_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

add_library(scanvale_options INTERFACE)
# -Wconversion turns on -Wsign-conversion in C, and with clang in C++ too (the fuzzers build
# with clang++); with GCC it does not in C++. -Wno-sign-conversion keeps every build to the
# same set of warnings as the default one.
target_compile_options(scanvale_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    $<$<BOOL:${SCANVALE_WARNINGS_AS_ERRORS}>:-Werror>)
