# Writes the version header: the release from the project, the commit from git when the source
# folder is a git checkout of its own. Run on every build; the file changes only when its text
# does, so an unchanged commit compiles nothing.
#   cmake -DSOURCE_DIR=... -DOUTPUT=... -DVERSION=... [-DGIT=...] -P version_header.cmake
set(commit "")
if(GIT)
    execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} rev-parse --show-toplevel
                    OUTPUT_VARIABLE top RESULT_VARIABLE failed
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    # A source tarball unpacked inside someone else's checkout is not built from git.
    if(NOT failed)
        file(REAL_PATH "${top}" top)
        file(REAL_PATH "${SOURCE_DIR}" source)
    endif()
    if(NOT failed AND top STREQUAL source)
        execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} rev-parse --short=12 HEAD
                        OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} status --porcelain --untracked-files=no
                        OUTPUT_VARIABLE changes ERROR_QUIET)
        if(commit AND changes)
            string(APPEND commit "-modified")
        endif()
    endif()
endif()
set(text "#pragma once\n#define QUILLMARK_VERSION \"${VERSION}\"\n#define QUILLMARK_COMMIT \"${commit}\"\n")
if(EXISTS ${OUTPUT})
    file(READ ${OUTPUT} old)
endif()
if(NOT old STREQUAL text)
    file(WRITE ${OUTPUT} "${text}")
endif()
