# suite_add_resources(NAME RC_FILE BITMAPS ART...): an object library of a program's compiled resources. Each
# ART is a pixel-art text file (name.txt) that scripts/make_bitmap.py turns into name.bmp at build time, where
# the .rc file finds it; files the .rc names beside itself (manifests) are found in its own folder.
find_program(SUITE_PYTHON3 python3 REQUIRED)
function(suite_add_resources name rc_file)
    cmake_parse_arguments(ARG "" "" "BITMAPS" ${ARGN})
    set(bitmaps)
    foreach(art ${ARG_BITMAPS})
        get_filename_component(stem ${art} NAME_WE)
        set(bmp ${CMAKE_CURRENT_BINARY_DIR}/${stem}.bmp)
        add_custom_command(OUTPUT ${bmp}
            COMMAND ${SUITE_PYTHON3} ${PROJECT_SOURCE_DIR}/scripts/make_bitmap.py ${CMAKE_CURRENT_SOURCE_DIR}/${art} ${bmp}
            DEPENDS ${art} ${PROJECT_SOURCE_DIR}/scripts/make_bitmap.py
            COMMENT "Drawing ${stem}.bmp")
        list(APPEND bitmaps ${bmp})
    endforeach()
    file(GLOB manifests ${CMAKE_CURRENT_SOURCE_DIR}/*.manifest)
    add_library(${name} OBJECT ${rc_file} ${bitmaps})
    set_source_files_properties(${rc_file} PROPERTIES OBJECT_DEPENDS "${bitmaps};${manifests}")
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR})
    # The compiler options of the C++ sources mean nothing to the resource compiler.
    set_property(TARGET ${name} PROPERTY COMPILE_OPTIONS "")
endfunction()
