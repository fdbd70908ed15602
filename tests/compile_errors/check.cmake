# Compiles SOURCE with COMPILER and expects it to fail with exactly one error,
# the one its first line names after "// expect: " (a regular expression):
# a misuse of the library must read as one line, not a page of template errors.
#
#   cmake -DCOMPILER=c++ -DINCLUDE_DIR=<repository> -DSOURCE=<file> -P check.cmake

file(STRINGS ${SOURCE} first_line LIMIT_COUNT 1)
string(REGEX REPLACE "^// expect: " "" expected "${first_line}")
execute_process(COMMAND ${COMPILER} -std=c++17 -fsyntax-only -I${INCLUDE_DIR} ${SOURCE}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(result EQUAL 0)
  message(FATAL_ERROR "${SOURCE} compiled, but it must not")
endif()
string(REGEX MATCHALL "error:" errors "${output}")
list(LENGTH errors error_count)
if(NOT output MATCHES "${expected}" OR NOT error_count EQUAL 1)
  message(FATAL_ERROR "expected one error matching '${expected}', got ${error_count}:\n${output}")
endif()
