# Refuses an include that climbs the layers. Run: cmake -DROOT=<source tree> -P check_layers.cmake
#
# The one table of who may include whom: each folder, then the folders it may include besides
# itself. Nothing but app/ itself includes app/.
cmake_minimum_required(VERSION 3.24)

set(kAllowed
    "core:"
    "printer_link:core"
    "ui:printer_link core"
    "text:ui printer_link core"
    "auth:ui printer_link core"
    "layout:ui printer_link core"
    "check:layout ui printer_link core"
    "virtual_printer:layout ui printer_link core"
    "app:text auth check layout virtual_printer ui printer_link core tests"
    "tests:text auth check layout virtual_printer ui printer_link core"
    "bench:text auth check layout virtual_printer ui printer_link core tests"
    "fuzz:text auth check layout virtual_printer ui printer_link core"
)

set(layers)
foreach(row IN LISTS kAllowed)
    string(REPLACE ":" ";" parts "${row}")
    list(GET parts 0 layer)
    list(APPEND layers ${layer})
    set(allowed_${layer} ${layer})
    list(LENGTH parts n)
    if(n GREATER 1)
        list(GET parts 1 below)
        string(REPLACE " " ";" below "${below}")
        list(APPEND allowed_${layer} ${below})
    endif()
endforeach()

file(GLOB_RECURSE sources RELATIVE "${ROOT}" "${ROOT}/*.h" "${ROOT}/*.cpp")
set(faults 0)
foreach(source IN LISTS sources)
    # Build trees and the test folder's own sample of a climbing include are not sources.
    if(source MATCHES "^(build|\\.git|tests/data/)")
        continue()
    endif()
    string(REGEX MATCH "^[^/]+" layer "${source}")
    if(NOT layer IN_LIST layers)
        continue()
    endif()
    file(STRINGS "${ROOT}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[^\"]*\"([^\"/]+)/.*" "\\1" target "${line}")
        if(target IN_LIST layers AND NOT target IN_LIST allowed_${layer})
            message(SEND_ERROR "${source} includes ${target}/, which ${layer}/ may not include")
            math(EXPR faults "${faults} + 1")
        endif()
    endforeach()
endforeach()
if(faults EQUAL 0)
    message(STATUS "layers: every include goes down")
endif()
