#ifndef SORTING_SHOW_EMBEDDED_H
#define SORTING_SHOW_EMBEDDED_H

// Files built into sort_show: the page template (show/page.html) and the
// WebAssembly recorder, whose size is 0 when it was not built. CMake generates
// their definitions from the files.

#include <cstddef>

namespace sorting_show {

extern const unsigned char kPageTemplate[];
extern const std::size_t kPageTemplateSize;
extern const unsigned char kWasmModule[];
extern const std::size_t kWasmModuleSize;

}  // namespace sorting_show

#endif  // SORTING_SHOW_EMBEDDED_H
