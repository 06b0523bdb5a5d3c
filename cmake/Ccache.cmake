# ccache, where it is installed, as the compiler launcher of C++ and C: a build folder removed
# and made again in the same place, or a return to an earlier commit, takes the objects compiled
# before from the cache (a folder elsewhere does not: the compile commands and the debug
# information name the folder). It is not required, and scripts/install-deps.sh does not
# install it: a fresh clone in CI starts with an empty cache, where ccache only adds its own
# work. A launcher chosen by the user (CMAKE_<LANG>_COMPILER_LAUNCHER, as a cache entry or in
# the environment) is kept, and -DSCANVALE_CCACHE=OFF compiles without ccache.
option(SCANVALE_CCACHE "Compile through ccache when it is installed" ON)
if(SCANVALE_CCACHE)
    # Looked for again at each configure (not cached), so a build folder configured while ccache
    # was installed builds again, without it, once ccache is removed and CMake runs again.
    find_program(scanvale_ccache ccache NO_CACHE)
    if(scanvale_ccache)
        foreach(lang CXX C)
            if(NOT DEFINED CMAKE_${lang}_COMPILER_LAUNCHER)
                set(CMAKE_${lang}_COMPILER_LAUNCHER ${scanvale_ccache})
            endif()
        endforeach()
    endif()
endif()
