# suite_add_program(NAME [WIN32] SOURCES ... LIBRARIES ...)
# A program of the suite, and beside it (in fast/, same file name) its fast-clock variant for the scenario
# tests, whose pauses and tick counts run SUITE_FAST_CLOCK_FACTOR times faster. The program's code is
# compiled once: the two differ only in the clock they link. The test trees, which build the programs only
# for their own tests, make no fast variants (the scenarios take them from the shipped builds).
function(suite_add_program name)
    cmake_parse_arguments(ARG "WIN32" "" "SOURCES;LIBRARIES" ${ARGN})
    set(kind)
    if(ARG_WIN32)
        set(kind WIN32)
    endif()
    add_library(${name}_code OBJECT ${ARG_SOURCES})
    target_link_libraries(${name}_code PRIVATE suite_flags ${ARG_LIBRARIES})
    set(objects $<TARGET_OBJECTS:${name}_code> $<TARGET_OBJECTS:suite_terminate>
        $<TARGET_OBJECTS:suite_system_imports>)

    add_executable(${name} ${kind} ${objects})
    target_link_libraries(${name} PRIVATE suite_flags ${ARG_LIBRARIES} suite_clock)
    if(SUITE_FAST_CLOCK_FACTOR GREATER 1 AND NOT SUITE_TESTS)
        add_executable(${name}_fast ${kind} ${objects})
        target_link_libraries(${name}_fast PRIVATE suite_flags ${ARG_LIBRARIES} suite_clock_fast)
        set_target_properties(${name}_fast PROPERTIES
            OUTPUT_NAME ${name} RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fast)
    endif()
endfunction()
