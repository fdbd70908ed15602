# Configures the library from SOURCE_DIR with the preset `install`, with
# GoogleTest, zlib and Google Benchmark hidden as on a machine that has only a
# compiler and CMake, and installs it into PREFIX.
#
#   cmake -DSOURCE_DIR=<repository> -DBUILD_DIR=<folder> -DPREFIX=<folder>
#         -DCOMPILER=<c++> -P install_alone.cmake

file(REMOVE_RECURSE ${BUILD_DIR} ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --preset install -B ${BUILD_DIR}
                        -DCMAKE_CXX_COMPILER=${COMPILER} -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON
                        -DCMAKE_DISABLE_FIND_PACKAGE_ZLIB=ON
                        -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
                WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result OUTPUT_VARIABLE output
                ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "configuring for the install alone failed:\n${output}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()
