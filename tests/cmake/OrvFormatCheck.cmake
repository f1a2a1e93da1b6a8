# Every C++ file of the repository is formatted by clang-format 14 with the repository's
# .clang-format. Prints each file that differs and fails; the files of PENDING (being
# rewritten elsewhere) are printed as not checked, and fail the check once they are formatted
# or gone, so the list never outlives its reason.
# -DSOURCE_DIR=<repository> -DCLANG_FORMAT=<program> -DPENDING=<list file>
execute_process(COMMAND ${CLANG_FORMAT} --version OUTPUT_VARIABLE version)
if(NOT version MATCHES "version 14\\.")
    message(FATAL_ERROR "clang-format 14 is needed, found: ${version}")
endif()

file(STRINGS ${PENDING} pending REGEX "^[^#]")
set(folders engine launcher capture tests benchmarks fuzz tools)
set(files)
foreach(folder ${folders})
    file(GLOB_RECURSE found RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h
         ${SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND files ${found})
endforeach()
list(SORT files)

set(differ)
set(stale)
foreach(file ${files})
    execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${file}
                    WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result OUTPUT_QUIET
                    ERROR_QUIET)
    list(FIND pending ${file} listed)
    if(listed GREATER -1)
        if(result EQUAL 0)
            list(APPEND stale ${file})
        else()
            message("not checked (being rewritten elsewhere): ${file}")
        endif()
    elseif(NOT result EQUAL 0)
        list(APPEND differ ${file})
    endif()
endforeach()
foreach(file ${pending})
    if(NOT EXISTS ${SOURCE_DIR}/${file})
        list(APPEND stale ${file})
    endif()
endforeach()

list(LENGTH files checked)
message("${checked} files looked at")
if(differ OR stale)
    foreach(file ${differ})
        message("not formatted: ${file} (clang-format -i ${file})")
    endforeach()
    foreach(file ${stale})
        message("formatted or gone, take it off tests/format-pending.txt: ${file}")
    endforeach()
    message(FATAL_ERROR "clang-format check failed")
endif()
