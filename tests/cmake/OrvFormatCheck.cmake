# Every C++ file of the repository is formatted by clang-format 14 with the repository's
# .clang-format. Prints each file that differs, with the command that formats it, and fails.
# -DSOURCE_DIR=<repository> -DCLANG_FORMAT=<program>
execute_process(COMMAND ${CLANG_FORMAT} --version OUTPUT_VARIABLE version)
if(NOT version MATCHES "version 14\\.")
    message(FATAL_ERROR "clang-format 14 is needed, found: ${version}")
endif()

set(folders engine launcher capture tests benchmarks fuzz tools)
set(files)
foreach(folder ${folders})
    file(GLOB_RECURSE found RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h
         ${SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND files ${found})
endforeach()
list(SORT files)

set(differ)
foreach(file ${files})
    execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${file}
                    WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result OUTPUT_QUIET
                    ERROR_QUIET)
    if(NOT result EQUAL 0)
        list(APPEND differ ${file})
    endif()
endforeach()

list(LENGTH files checked)
message("${checked} files looked at")
if(differ)
    foreach(file ${differ})
        message("not formatted: ${file} (clang-format -i ${file})")
    endforeach()
    message(FATAL_ERROR "clang-format check failed")
endif()
