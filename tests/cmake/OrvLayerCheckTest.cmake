# The layer check on a copy of the real engine: clean as it is, then failing with the file and
# the layers named after one backward include is added, written either way an include can be.
#   cmake -DENGINE_DIR=... -DLAYERS=... -DCHECK=.../OrvCheckLayers.cmake -DWORK=<scratch> -P this
function(run_check dir outResult outText)
    execute_process(COMMAND ${CMAKE_COMMAND} -DENGINE_DIR=${dir} "-DLAYERS=${LAYERS}" -P ${CHECK}
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(${outResult} ${result} PARENT_SCOPE)
    set(${outText} "${out}${err}" PARENT_SCOPE)
endfunction()

run_check(${ENGINE_DIR} result text)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the engine as it is fails the layer check:\n${text}")
endif()

foreach(form "runtime/OrvPlayer.h" "../runtime/OrvPlayer.h")
    
# The platform's headers and calls stay in the layers that may have them: SDL's in scene, EGL's
# in gfx and a window made in runtime each fail the check with the file named; SDL in audio
# (the sound device) passes.
foreach(case "scene/OrvObject.cpp|#include <SDL2/SDL.h>|scene/OrvObject.cpp includes <SDL2/SDL.h>: only platform gfx audio entry may"
             "gfx/OrvGlState.cpp|#include <EGL/egl.h>|gfx/OrvGlState.cpp includes <EGL/egl.h>: only platform may"
             "runtime/OrvPlayer.cpp|static bool made = SDL_CreateWindow (nullptr, 0, 0, 1, 1, 0)|runtime/OrvPlayer.cpp calls SDL_CreateWindow: only the platform layer may")
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 target)
    list(GET parts 1 line)
    list(GET parts 2 expected)
    file(REMOVE_RECURSE ${WORK})
    file(COPY ${ENGINE_DIR}/ DESTINATION ${WORK})
    file(APPEND ${WORK}/${target} "${line}\n")
    run_check(${WORK} result text)
    if(result EQUAL 0)
        message(FATAL_ERROR "${target} with \"${line}\" passed the layer check")
    endif()
    string(FIND "${text}" "${expected}" at)
    if(at LESS 0)
        message(FATAL_ERROR "the layer check did not say \"${expected}\":\n${text}")
    endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
file(COPY ${ENGINE_DIR}/ DESTINATION ${WORK})
file(APPEND ${WORK}/audio/OrvMusic.cpp "#include <SDL2/SDL_audio.h>\n")
run_check(${WORK} result text)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "SDL in the audio layer failed the layer check:\n${text}")
endif()
file(REMOVE_RECURSE ${WORK})
    file(COPY ${ENGINE_DIR}/ DESTINATION ${WORK})
    file(APPEND ${WORK}/scene/OrvObject.cpp "#include \"${form}\"\n")
    run_check(${WORK} result text)
    if(result EQUAL 0)
        message(FATAL_ERROR "a scene file including \"${form}\" passed the layer check")
    endif()
    if(NOT text MATCHES "scene/OrvObject.cpp includes \"runtime/OrvPlayer.h\": scene may not include runtime")
        message(FATAL_ERROR "the layer check did not name the backward include \"${form}\":\n${text}")
    endif()
    # Including downwards stays allowed.
    
# The platform's headers and calls stay in the layers that may have them: SDL's in scene, EGL's
# in gfx and a window made in runtime each fail the check with the file named; SDL in audio
# (the sound device) passes.
foreach(case "scene/OrvObject.cpp|#include <SDL2/SDL.h>|scene/OrvObject.cpp includes <SDL2/SDL.h>: only platform gfx audio entry may"
             "gfx/OrvGlState.cpp|#include <EGL/egl.h>|gfx/OrvGlState.cpp includes <EGL/egl.h>: only platform may"
             "runtime/OrvPlayer.cpp|static bool made = SDL_CreateWindow (nullptr, 0, 0, 1, 1, 0)|runtime/OrvPlayer.cpp calls SDL_CreateWindow: only the platform layer may")
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 target)
    list(GET parts 1 line)
    list(GET parts 2 expected)
    file(REMOVE_RECURSE ${WORK})
    file(COPY ${ENGINE_DIR}/ DESTINATION ${WORK})
    file(APPEND ${WORK}/${target} "${line}\n")
    run_check(${WORK} result text)
    if(result EQUAL 0)
        message(FATAL_ERROR "${target} with \"${line}\" passed the layer check")
    endif()
    string(FIND "${text}" "${expected}" at)
    if(at LESS 0)
        message(FATAL_ERROR "the layer check did not say \"${expected}\":\n${text}")
    endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
file(COPY ${ENGINE_DIR}/ DESTINATION ${WORK})
file(APPEND ${WORK}/audio/OrvMusic.cpp "#include <SDL2/SDL_audio.h>\n")
run_check(${WORK} result text)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "SDL in the audio layer failed the layer check:\n${text}")
endif()
file(REMOVE_RECURSE ${WORK})
    file(COPY ${ENGINE_DIR}/ DESTINATION ${WORK})
    file(APPEND ${WORK}/runtime/OrvPlayer.cpp "#include \"scene/OrvObject.h\"\n")
    run_check(${WORK} result text)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "a downward include failed the layer check:\n${text}")
    endif()
endforeach()

# The platform's headers and calls stay in the layers that may have them: SDL's in scene, EGL's
# in gfx and a window made in runtime each fail the check with the file named; SDL in audio
# (the sound device) passes.
foreach(case "scene/OrvObject.cpp|#include <SDL2/SDL.h>|scene/OrvObject.cpp includes <SDL2/SDL.h>: only platform gfx audio entry may"
             "gfx/OrvGlState.cpp|#include <EGL/egl.h>|gfx/OrvGlState.cpp includes <EGL/egl.h>: only platform may"
             "runtime/OrvPlayer.cpp|static bool made = SDL_CreateWindow (nullptr, 0, 0, 1, 1, 0)|runtime/OrvPlayer.cpp calls SDL_CreateWindow: only the platform layer may")
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 target)
    list(GET parts 1 line)
    list(GET parts 2 expected)
    file(REMOVE_RECURSE ${WORK})
    file(COPY ${ENGINE_DIR}/ DESTINATION ${WORK})
    file(APPEND ${WORK}/${target} "${line}\n")
    run_check(${WORK} result text)
    if(result EQUAL 0)
        message(FATAL_ERROR "${target} with \"${line}\" passed the layer check")
    endif()
    string(FIND "${text}" "${expected}" at)
    if(at LESS 0)
        message(FATAL_ERROR "the layer check did not say \"${expected}\":\n${text}")
    endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
file(COPY ${ENGINE_DIR}/ DESTINATION ${WORK})
file(APPEND ${WORK}/audio/OrvMusic.cpp "#include <SDL2/SDL_audio.h>\n")
run_check(${WORK} result text)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "SDL in the audio layer failed the layer check:\n${text}")
endif()
file(REMOVE_RECURSE ${WORK})
