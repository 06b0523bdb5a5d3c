# Compiler warnings for every target of the project.
# SCANVALE_WARNINGS_AS_ERRORS turns them into errors; CI sets it so a new warning fails the build.
option(SCANVALE_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

function(scanvale_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion)
    if(SCANVALE_WARNINGS_AS_ERRORS)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
