# The layering check, run as a test: each source of src/ includes only from its own
# folder and from the folders its library uses.
#   cmake -D LAYERS=<build>/src/layers.cmake -D SOURCE_DIR=<source>/src -P CheckLayers.cmake
# src/CMakeLists.txt writes LAYERS when it configures: a line
# `check(<folder> "<folders it uses>" <sources>...)` per library and for main.cpp.
cmake_minimum_required(VERSION 3.25)

set(problems)

function(check own allowed)
    foreach(source IN LISTS ARGN)
        file(STRINGS ${SOURCE_DIR}/${source} climbing REGEX "^#include \"\\.")
        if(climbing)
            list(APPEND problems "src/${source}: ${climbing}: name the folder instead")
        endif()
        file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^#include \"[a-z]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^#include \"([a-z]+)/.*$" "\\1" used "${line}")
            if(NOT used STREQUAL own AND NOT used IN_LIST allowed)
                list(APPEND problems "src/${source} includes \"${used}/...\", which ${own} does not use")
            endif()
        endforeach()
    endforeach()
    set(problems ${problems} PARENT_SCOPE)
endfunction()

include(${LAYERS})
if(problems)
    list(JOIN problems "\n" text)
    message(FATAL_ERROR "${text}\nsrc/CMakeLists.txt lists what each folder uses.")
endif()
