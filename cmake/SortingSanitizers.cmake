# Stops configuration with a line naming the package to install when the
# compiler cannot build and link a program with -fsanitize=<sanitizers>: the
# compiler alone accepts the flag, the runtime comes in a package of its own.

include(CheckCXXSourceCompiles)

function(sorting_require_sanitizers sanitizers)
  string(MAKE_C_IDENTIFIER "SORTING_LINKS_${sanitizers}" result)
  set(CMAKE_REQUIRED_FLAGS -fsanitize=${sanitizers})
  set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=${sanitizers})
  set(CMAKE_REQUIRED_QUIET ON)
  if(sanitizers MATCHES "fuzzer")
    set(source "#include <cstddef>\n#include <cstdint>\n"
               "extern \"C\" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }")
  else()
    set(source "int main() { return 0; }")
  endif()
  check_cxx_source_compiles("${source}" ${result})
  if(NOT ${result})
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
      string(REGEX MATCH "^[0-9]+" major "${CMAKE_CXX_COMPILER_VERSION}")
      set(remedy "install its runtime with 'sudo apt-get install libclang-rt-${major}-dev'")
    else()
      set(remedy "install its sanitizer runtimes (for g++ 12: 'sudo apt-get install libasan8 libubsan1')")
    endif()
    sorting_stop("${CMAKE_CXX_COMPILER} cannot link with -fsanitize=${sanitizers}: ${remedy}")
  endif()
endfunction()
