# Installs the consumer project built in BUILD_DIR into PREFIX and fails if
# anything lands there: a project that adds the library with add_subdirectory
# gets none of its headers, package files or licence in its own install tree.
#
#   cmake -DBUILD_DIR=<consumer build> -DPREFIX=<empty folder> -P installs_nothing.cmake

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()
file(GLOB_RECURSE installed ${PREFIX}/*)
if(installed)
  message(FATAL_ERROR "add_subdirectory installed files into the parent's tree: ${installed}")
endif()
