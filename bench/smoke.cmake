# Runs the benchmark program and the read loop on a small tree and checks their output (see
# CMakeLists.txt).
file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/b.txt "an Invoice\n")
file(WRITE ${WORK}/a.txt "nothing here\n")
file(WRITE ${WORK}/c.txt "invoice\n")
file(WRITE ${WORK}/sub/x.bin "\t\tinvoice\n")
file(WRITE ${WORK}/sub/y.txt "one more invoice\n")
execute_process(COMMAND ${BENCH} invoice ${WORK} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
set(expected "${WORK}/b.txt\n${WORK}/sub/x.bin\n")
if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
    message(FATAL_ERROR "case-insensitive run gave [${out}] (exit ${rc}), expected [${expected}]")
endif()
execute_process(COMMAND ${BENCH} --match-case --no-subfolders invoice ${WORK}
                OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "${WORK}/c.txt\n")
    message(FATAL_ERROR "exact run without subfolders gave [${out}] (exit ${rc})")
endif()

# The read loop, with more threads than folders, on the tree with an empty and a deep folder
# and a file of more than two buffers added: it must read every byte of every file, once.
file(MAKE_DIRECTORY ${WORK}/empty)
file(WRITE ${WORK}/sub/deep/er/z.txt "far down\n")
string(REPEAT "0123456789" 25000 long)
file(WRITE ${WORK}/sub/long.txt "${long}.")
file(GLOB_RECURSE files LIST_DIRECTORIES false ${WORK}/*)
list(LENGTH files count)
set(bytes 0)
foreach(f ${files})
    file(SIZE ${f} size)
    math(EXPR bytes "${bytes} + ${size}")
endforeach()
foreach(threads 1 4)
    execute_process(COMMAND ${LOOP} --threads ${threads} ${WORK} OUTPUT_VARIABLE out
                    RESULT_VARIABLE rc)
    set(expected "files ${count}, bytes read ${bytes}, folders 5, unreadable 0\n")
    if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
        message(FATAL_ERROR "read loop on ${threads} threads gave [${out}] (exit ${rc}), expected [${expected}]")
    endif()
endforeach()

# The io_uring loop, where it was built, alike; with two files in flight its slots are reused.
# Status 3: io_uring cannot be used here, which is no failure of the loop.
if(URING)
    foreach(options "--threads;1" "--threads;4;--in-flight;2")
        execute_process(COMMAND ${URING} ${options} ${WORK} OUTPUT_VARIABLE out
                        ERROR_VARIABLE err RESULT_VARIABLE rc)
        if(rc EQUAL 3)
            message(STATUS "io_uring loop not checked: ${err}")
            break()
        endif()
        if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
            message(FATAL_ERROR "io_uring loop with ${options} gave [${out}] (exit ${rc}), expected [${expected}]")
        endif()
    endforeach()
endif()
