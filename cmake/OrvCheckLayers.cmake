# Fails when a file of an engine layer includes a header of a layer above it.
#   cmake -DENGINE_DIR=<engine folder> -DLAYERS="base;animation;..." [-DSTAMP=<file>] -P OrvCheckLayers.cmake
# LAYERS lists the folders lowest first. An include is looked at when it names a layer folder
# ("scene/OrvObject.h") or climbs out of its folder ("../runtime/OrvPlayer.h"); system and
# library headers (<...>) are not. Every offending include is listed, then the check fails.
if(NOT ENGINE_DIR OR NOT LAYERS)
    message(FATAL_ERROR "OrvCheckLayers: ENGINE_DIR and LAYERS are needed")
endif()
get_filename_component(ENGINE_DIR "${ENGINE_DIR}" ABSOLUTE)

set(problems "")
list(LENGTH LAYERS layerCount)
set(index 0)
foreach(layer ${LAYERS})
    file(GLOB_RECURSE files "${ENGINE_DIR}/${layer}/*.h" "${ENGINE_DIR}/${layer}/*.cpp")
    foreach(file ${files})
        file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
        foreach(line ${includes})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" target "${line}")
            if(target MATCHES "^\\.\\./")
                # Relative to the including file: resolve to the layer folder it lands in.
                get_filename_component(folder "${file}" DIRECTORY)
                get_filename_component(resolved "${folder}/${target}" ABSOLUTE)
                file(RELATIVE_PATH target "${ENGINE_DIR}" "${resolved}")
            endif()
            string(REGEX MATCH "^[^/]+" targetLayer "${target}")
            list(FIND LAYERS "${targetLayer}" targetIndex)
            if(targetIndex GREATER index)
                file(RELATIVE_PATH shown "${ENGINE_DIR}" "${file}")
                string(APPEND problems
                       "  ${shown} includes \"${target}\": ${layer} may not include ${targetLayer}\n")
            endif()
        endforeach()
    endforeach()
    math(EXPR index "${index} + 1")
endforeach()

if(problems)
    string(REPLACE ";" " < " order "${LAYERS}")
    message(FATAL_ERROR "Engine layers include upwards (the order is ${order}):\n${problems}")
endif()
if(STAMP)
    file(WRITE "${STAMP}" "engine layers checked\n")
endif()
