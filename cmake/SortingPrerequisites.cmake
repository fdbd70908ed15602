# Stops configuration because a prerequisite is missing. The arguments, joined,
# make one line that says what is missing and names the Debian package that
# brings it. CMake word-wraps the text
# of its errors, so the line goes out first as a notice, whole; the Makefile
# shows that line alone when configuration fails.
function(sorting_stop)
  list(JOIN ARGV "" line)
  message(NOTICE "${line}")
  message(FATAL_ERROR "Configuration stopped: a prerequisite is missing (see the line above).")
endfunction()

# The Debian package that brings the compiler `name`.
function(sorting_compiler_package name result)
  if(name MATCHES "clang")
    set(${result} "clang" PARENT_SCOPE)
  else()
    set(${result} "g++" PARENT_SCOPE)
  endif()
endfunction()
