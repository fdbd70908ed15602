# Toolchain for the WebAssembly recorder: Debian's clang++ 14 for wasm32-wasi,
# with wasi-libc and the headers of libc++ for wasm32 (only headers: the module
# links no C++ library). Pass SORTING_WASM_CLANG, the compiler to use.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(CMAKE_CXX_COMPILER ${SORTING_WASM_CLANG})
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
# The compiler check compiles only: a test program could not link without an entry point.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_CXX_FLAGS_INIT "-nostdinc++ -isystem /usr/lib/llvm-14/include/wasm32-wasi/c++/v1 \
-isystem /usr/include/wasm32-wasi -fno-exceptions -fno-rtti")
# No start function and no C++ runtime library; the module exports what it offers.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wno-unused-command-line-argument -nostartfiles -nostdlib++ \
-L/usr/lib/wasm32-wasi -Wl,--no-entry \
-Wl,--strip-all")
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SORTING_WASM_CLANG)
