#ifndef SORTING_SHOW_EMBEDDED_H
#define SORTING_SHOW_EMBEDDED_H

// Files built into sort_show: the page template (show/page.html), the
// WebAssembly recorder, whose size is 0 when it was not built, and the text of
// the library's headers, which the page shows beside the race. CMake generates
// their definitions from the files.

#include <cstddef>

namespace sorting_show {

extern const unsigned char kPageTemplate[];
extern const std::size_t kPageTemplateSize;
extern const unsigned char kWasmModule[];
extern const std::size_t kWasmModuleSize;

// A header of the library: its path below include/ and its text.
struct EmbeddedFile {
  const char* path;
  const unsigned char* text;
  std::size_t size;
};
extern const EmbeddedFile kLibrarySources[];
extern const std::size_t kLibrarySourcesCount;

}  // namespace sorting_show

#endif  // SORTING_SHOW_EMBEDDED_H
