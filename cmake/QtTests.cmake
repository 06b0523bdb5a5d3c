# scanvale_add_test(<name> SOURCES <files...> LIBS <targets...>)
# Builds one Qt Test executable and registers it with CTest, labelled "unit". Widget tests run
# on the offscreen platform so they need no display. The target scanvale_unit_tests builds
# every such test (the tsan preset builds and runs only those).
function(scanvale_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE scanvale_options Qt6::Test ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300
                                            LABELS unit)
    if(NOT TARGET scanvale_unit_tests)
        add_custom_target(scanvale_unit_tests)
    endif()
    add_dependencies(scanvale_unit_tests ${name})
endfunction()
