# Fails when a file of an engine layer includes a header of a layer above it.
#   cmake -DENGINE_DIR=<engine folder> -DLAYERS="base;animation;..." [-DSTAMP=<file>] -P OrvCheckLayers.cmake
# LAYERS lists the folders lowest first. An include is looked at when it names a layer folder
# ("scene/OrvObject.h") or climbs out of its folder ("../runtime/OrvPlayer.h").
#
# The platform's headers are kept to the layers that need them (the table below): SDL's
# (<SDL2/...>) to the platform, the pictures and text of gfx, the sound device of audio and
# the display-mode screen of entry; EGL's, GLX's, Xlib's and Wayland's to the platform alone.
# Calls that make windows, contexts or read input (SDL_CreateWindow, SDL_GL_*, SDL_PollEvent
# and the like) are the platform's alone, whatever the includes. Every offence is listed, then
# the check fails.
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

# A system header's path and the layers that may include it.
set(systemRules
    "^SDL2/|platform gfx audio entry"
    "^EGL/|platform"
    "^GL/glx\\.h$|platform"
    "^X11/|platform"
    "^wayland-|platform")
set(platformCalls "SDL_(CreateWindow|DestroyWindow|VideoInit|PollEvent|WaitEvent|PumpEvents|GL_[A-Za-z]+|SetWindow[A-Za-z]*|GetWindow[A-Za-z]*|ShowSimpleMessageBox|ShowMessageBox)[ \t]*\\(")
foreach(layer ${LAYERS})
    file(GLOB_RECURSE files "${ENGINE_DIR}/${layer}/*.h" "${ENGINE_DIR}/${layer}/*.cpp")
    foreach(file ${files})
        file(RELATIVE_PATH shown "${ENGINE_DIR}" "${file}")
        file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*<")
        foreach(line ${includes})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*<([^>]*)>.*$" "\\1" header "${line}")
            foreach(rule ${systemRules})
                string(REPLACE "|" ";" fields "${rule}")
                list(GET fields 0 pattern)
                list(GET fields 1 allowedText)
                string(REPLACE " " ";" allowed "${allowedText}")
                if(header MATCHES "${pattern}")
                    list(FIND allowed "${layer}" allowedIndex)
                    if(allowedIndex LESS 0)
                        string(APPEND problems
                               "  ${shown} includes <${header}>: only ${allowedText} may\n")
                    endif()
                endif()
            endforeach()
        endforeach()
        if(NOT layer STREQUAL "platform")
            file(STRINGS "${file}" calls REGEX "${platformCalls}")
            foreach(line ${calls})
                string(REGEX MATCH "${platformCalls}" call "${line}")
                string(REGEX REPLACE "[ \t]*\\($" "" call "${call}")
                string(APPEND problems "  ${shown} calls ${call}: only the platform layer may\n")
            endforeach()
        endif()
    endforeach()
endforeach()

if(problems)
    string(REPLACE ";" " < " order "${LAYERS}")
    message(FATAL_ERROR "Engine layers break their rules (the order is ${order}):\n${problems}")
endif()
if(STAMP)
    file(WRITE "${STAMP}" "engine layers checked\n")
endif()
