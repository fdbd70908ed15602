# Compiles SOURCE with COMPILER and expects it to fail with exactly one error,
# the one its first line names after "// expect: " (a regular expression):
# a misuse of the library must read as one line, not a page of template errors.
# "// expect each: " instead expects one or more errors, each matching (one per
# sort of the table, say). A second line "// variants: A B ..." compiles it once
# per name, with that name defined as a macro, and expects the same from each.
# The comment lines after these two say what to mend; a failure shows them
# before the compiler's output.
#
#   cmake -DCOMPILER=c++ -DINCLUDE_DIR=<repository> -DSOURCE=<file> -P check.cmake

file(STRINGS ${SOURCE} head LIMIT_COUNT 2)
list(GET head 0 first_line)
set(each OFF)
if(first_line MATCHES "^// expect each: ")
  set(each ON)
endif()
string(REGEX REPLACE "^// expect( each)?: " "" expected "${first_line}")
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
# What to mend: the comment lines that follow, up to the first line of code.
file(STRINGS ${SOURCE} lines)
set(advice "")
set(index 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^//")
    break()
  endif()
  if(index GREATER 0 AND NOT line MATCHES "^// variants: ")
    string(APPEND advice "${line}\n")
  endif()
  math(EXPR index "${index} + 1")
endforeach()
foreach(variant IN LISTS variants)
  execute_process(COMMAND ${COMPILER} -std=c++17 -fsyntax-only -D${variant} -I${INCLUDE_DIR} ${SOURCE}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(result EQUAL 0)
    message(FATAL_ERROR "${SOURCE} (${variant}) compiled, but it must not")
  endif()
  string(REGEX MATCHALL "error:" errors "${output}")
  list(LENGTH errors error_count)
  if(each)
    string(REGEX MATCHALL "error:[^\n]*${expected}" matching "${output}")
    list(LENGTH matching matching_count)
    if(error_count EQUAL 0 OR NOT matching_count EQUAL error_count)
      message(FATAL_ERROR "${variant}: expected errors that each match '${expected}', got "
                          "${error_count}, ${matching_count} of them matching.\n${advice}\n${output}")
    endif()
  elseif(NOT output MATCHES "${expected}" OR NOT error_count EQUAL 1)
    message(FATAL_ERROR "${variant}: expected one error matching '${expected}', got ${error_count}.\n${advice}\n${output}")
  endif()
endforeach()
