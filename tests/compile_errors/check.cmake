# Compiles SOURCE with COMPILER and expects it to fail with exactly one error,
# the one its first line names after "// expect: " (a regular expression):
# a misuse of the library must read as one line, not a page of template errors.
# A second line "// variants: A B ..." compiles it once per name, with that name
# defined as a macro, and expects the same one error from each.
#
#   cmake -DCOMPILER=c++ -DINCLUDE_DIR=<repository> -DSOURCE=<file> -P check.cmake

file(STRINGS ${SOURCE} head LIMIT_COUNT 2)
list(GET head 0 first_line)
string(REGEX REPLACE "^// expect: " "" expected "${first_line}")
set(variants NONE)
list(LENGTH head head_lines)
if(head_lines EQUAL 2)
  list(GET head 1 second_line)
  if(second_line MATCHES "^// variants: (.*)$")
    string(REPLACE " " ";" variants "${CMAKE_MATCH_1}")
  endif()
endif()
# A variants line anywhere else (say, wrapped by the formatter) would quietly test one case.
file(STRINGS ${SOURCE} variant_lines REGEX "variants:")
if(variant_lines AND variants STREQUAL "NONE")
  message(FATAL_ERROR "${SOURCE}: the \"// variants: \" line must be the second line")
endif()
foreach(variant IN LISTS variants)
  execute_process(COMMAND ${COMPILER} -std=c++17 -fsyntax-only -D${variant} -I${INCLUDE_DIR} ${SOURCE}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(result EQUAL 0)
    message(FATAL_ERROR "${SOURCE} (${variant}) compiled, but it must not")
  endif()
  string(REGEX MATCHALL "error:" errors "${output}")
  list(LENGTH errors error_count)
  if(NOT output MATCHES "${expected}" OR NOT error_count EQUAL 1)
    message(FATAL_ERROR "${variant}: expected one error matching '${expected}', got ${error_count}:\n${output}")
  endif()
endforeach()
