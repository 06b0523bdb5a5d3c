# Sanitizers for the whole build: AddressSanitizer + UndefinedBehaviorSanitizer (the asan-ubsan
# preset) or ThreadSanitizer (the tsan preset). Only the project's own code is instrumented:
# Qt and the system libraries are not.
option(SCANVALE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(SCANVALE_SANITIZE_THREADS "Build with ThreadSanitizer" OFF)

if(SCANVALE_SANITIZE AND SCANVALE_SANITIZE_THREADS)
    message(FATAL_ERROR "AddressSanitizer and ThreadSanitizer cannot be combined")
endif()
if(SCANVALE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
if(SCANVALE_SANITIZE_THREADS)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()
