# suite_add_program(NAME [WIN32] SOURCES ... LIBRARIES ...)
# A program of the suite, and beside it (in fast/, same file name) its fast-clock variant for the scenario
# tests, whose pauses and tick counts run SUITE_FAST_CLOCK_FACTOR times faster.
function(suite_add_program name)
    cmake_parse_arguments(ARG "WIN32" "" "SOURCES;LIBRARIES" ${ARGN})
    set(kind)
    if(ARG_WIN32)
        set(kind WIN32)
    endif()
    add_executable(${name} ${kind} ${ARG_SOURCES} $<TARGET_OBJECTS:suite_terminate>)
    target_link_libraries(${name} PRIVATE suite_flags ${ARG_LIBRARIES} suite_clock)
    if(SUITE_FAST_CLOCK_FACTOR GREATER 1)
        add_executable(${name}_fast ${kind} ${ARG_SOURCES} $<TARGET_OBJECTS:suite_terminate>)
        target_link_libraries(${name}_fast PRIVATE suite_flags ${ARG_LIBRARIES} suite_clock_fast)
        set_target_properties(${name}_fast PROPERTIES
            OUTPUT_NAME ${name} RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fast)
    endif()
endfunction()
