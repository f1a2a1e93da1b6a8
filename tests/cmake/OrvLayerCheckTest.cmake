# The layer check on a copy of the real engine: clean as it is, then failing with the file and
# the rule named after one line is added that breaks a rule: a backward include (written
# either way an include can be), a platform header outside the layers that may have it, a
# window made outside the platform layer. Lines that keep the rules still pass.
#   cmake -DENGINE_DIR=... -DLAYERS=... -DCHECK=.../OrvCheckLayers.cmake -DWORK=<scratch> -P this
function(run_check dir outResult outText)
    execute_process(COMMAND ${CMAKE_COMMAND} -DENGINE_DIR=${dir} "-DLAYERS=${LAYERS}" -P ${CHECK}
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(${outResult} ${result} PARENT_SCOPE)
    set(${outText} "${out}${err}" PARENT_SCOPE)
endfunction()

# A copy of the engine with `line` added to `file`, checked: it must fail saying `expected`, or
# pass when `expected` is empty.
function(check_with file line expected)
    file(REMOVE_RECURSE ${WORK})
    file(COPY ${ENGINE_DIR}/ DESTINATION ${WORK})
    file(APPEND ${WORK}/${file} "${line}\n")
    run_check(${WORK} result text)
    if(expected STREQUAL "")
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "${file} with \"${line}\" failed the layer check:\n${text}")
        endif()
        return()
    endif()
    if(result EQUAL 0)
        message(FATAL_ERROR "${file} with \"${line}\" passed the layer check")
    endif()
    string(FIND "${text}" "${expected}" at)
    if(at LESS 0)
        message(FATAL_ERROR "the layer check did not say \"${expected}\":\n${text}")
    endif()
endfunction()

run_check(${ENGINE_DIR} result text)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the engine as it is fails the layer check:\n${text}")
endif()

foreach(form "runtime/OrvPlayer.h" "../runtime/OrvPlayer.h")
    check_with(scene/OrvObject.cpp "#include \"${form}\""
               "scene/OrvObject.cpp includes \"runtime/OrvPlayer.h\": scene may not include runtime")
endforeach()
check_with(runtime/OrvPlayer.cpp "#include \"scene/OrvObject.h\"" "")

check_with(scene/OrvObject.cpp "#include <SDL2/SDL.h>"
           "scene/OrvObject.cpp includes <SDL2/SDL.h>: only platform gfx audio entry may")
check_with(gfx/OrvGlState.cpp "#include <EGL/egl.h>"
           "gfx/OrvGlState.cpp includes <EGL/egl.h>: only platform may")
check_with(runtime/OrvPlayer.cpp "static bool made = SDL_CreateWindow (nullptr, 0, 0, 1, 1, 0)"
           "runtime/OrvPlayer.cpp calls SDL_CreateWindow: only the platform layer may")
check_with(audio/OrvMusic.cpp "#include <SDL2/SDL_audio.h>" "")
file(REMOVE_RECURSE ${WORK})
