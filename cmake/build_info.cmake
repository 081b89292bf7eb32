# Writes OUTPUT, the header that tells the programs their version and the
# commit they were built from. Run at every build (cmake -P), so the commit
# follows the checkout; the file is only rewritten when its text changes, so
# nothing is recompiled for an unchanged commit.
set(commit "")
find_program(GIT git)
if(GIT AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(COMMAND "${GIT}" -C "${SOURCE_DIR}" rev-parse --short=12 HEAD
                  OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
set(text "#pragma once\n// Generated at build time by cmake/build_info.cmake.\n#define CAMPANOR_VERSION \"${VERSION}\"\n#define CAMPANOR_COMMIT \"${commit}\"\n")
set(old "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${OUTPUT}" "${text}")
endif()
