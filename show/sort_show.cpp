// sort_show: records the library's sorts on one or more inputs and writes the
// traces into the self-contained page (show/page.html), or as JSON alone, and
// draws the history pictures; --catalog tells what it knows of the sorts and
// the input patterns, --sources gives the library's headers whose lines the
// traces name. See --help.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <zlib.h>

#include "show/embedded.h"
#include "show/history_picture.h"
#include "show/trace_format.h"
#include "show/trace_json.h"
#include "show/trace_recorder.h"
#include "support/input_patterns.h"

namespace sorting_show {
namespace {

using sorting_patterns::kPatterns;
using sorting_patterns::Pattern;
using sorting_patterns::PatternEntry;

const char* const kTracesMarker = "__SORTING_TRACES__";
const char* const kCatalogMarker = "__SORTING_CATALOG__";
const char* const kInputsMarker = "__SORTING_INPUTS__";
const char* const kWasmMarker = "__SORTING_WASM__";
// The library's headers, for the page's code view; a template without this
// marker gets no sources.
const char* const kSourcesMarker = "__SORTING_SOURCES__";

const char* const kUsageHead =
    "Usage: sort_show [options]\n"
    "Records every comparison and every write of the library's sorts on the same\n"
    "input and writes them into one self-contained HTML page that races them.\n"
    "\n"
    "  --pattern NAME[,NAME...]  inputs from these patterns (default: all of them)\n";
const char* const kUsageTail =
    "  --direction D             ascending or descending (default ascending)\n"
    "  --adversary               the same as --comparator adversary (one input unless\n"
    "                            --pattern names more: the adversary makes the values)\n"
    "  --budget N                stop each sort after N comparator calls (default 4 n^2 + 64)\n"
    "  --output PATH             where to write (default: the page at\n"
    "                            " SORTING_SHOW_DEFAULT_OUTPUT
    ";\n"
    "                            with --json: standard output)\n"
    "  --json                    write the traces alone, as a sorting-trace document\n"
    "  --pictures DIR            also draw each input's history as DIR/history-<pattern>.png\n"
    "  --catalog                 write what sort_show knows of the sorts and the patterns,\n"
    "                            as a sorting-catalog document, and nothing else\n"
    "  --sources                 write the library's headers, whose lines the traces name,\n"
    "                            as one JSON object of path and text, and nothing else\n"
    "  --help                    show this text\n";

// The help text: the options, with the patterns of the table and what each is.
std::string Usage() {
  std::string text = kUsageHead;
  for (const PatternEntry& pattern : kPatterns) {
    std::string line = std::string("      ") + pattern.name;
    line.resize(std::max<std::size_t>(line.size() + 2, 28), ' ');
    text += line + pattern.description + "\n";
  }
  const std::string most = std::to_string(kMaxValues);
  text += "  --size N                  values per pattern input, 1 to " + most + " (default " +
          std::to_string(kDefaultSize) + ")\n";
  text += "  --seed S                  seed of the random patterns, 0 to 4294967295 (default " +
          std::to_string(kDefaultSeed) + ")\n";
  text += "  --values V,V,...          one input of these integers (1 to " + most +
          " of them) instead\n"
          "                            of patterns\n";
  text += "  --comparator NAME         run the sorts under this comparator (default less):\n";
  for (const RuleEntry& rule : kRules) {
    std::string line =
        std::string("      ") + rule.name + (rule.rule == Rule::kThrowAt ? ":K" : "");
    line.resize(std::max<std::size_t>(line.size() + 2, 28), ' ');
    text += line + rule.description + "\n";
  }
  return text + kUsageTail;
}

// The pattern names, for messages: "shuffled, ..., sawtooth".
std::string PatternNames() {
  std::string names;
  for (const PatternEntry& pattern : kPatterns)
    names += (names.empty() ? "" : ", ") + std::string(pattern.name);
  return names;
}

struct Options {
  std::vector<Pattern> patterns;
  bool has_patterns = false;
  std::size_t size = kDefaultSize;
  bool has_size = false;
  std::uint32_t seed = kDefaultSeed;
  bool has_seed = false;
  std::vector<int> values;
  bool has_values = false;
  bool descending = false;
  ComparatorChoice comparator;
  bool has_comparator = false;
  long long budget = -1;
  std::string output;
  bool json = false;
  std::string pictures;
  bool catalog = false;
  bool sources = false;
  bool help = false;
};

// Splits at commas and blanks; an empty item between two commas is an error.
bool SplitList(const std::string& text, std::vector<std::string>* items) {
  std::string item;
  bool after_comma = true;
  for (std::size_t k = 0; k <= text.size(); ++k) {
    const char c = k < text.size() ? text[k] : ',';
    if (c == ',' || c == ' ' || c == '\t') {
      if (!item.empty()) {
        items->push_back(item);
        item.clear();
        after_comma = false;
      }
      if (c == ',') {
        if (after_comma && k < text.size())
          return false;
        after_comma = true;
      }
    } else {
      item += c;
    }
  }
  return !items->empty();
}

// Parses the command line; on a mistake returns false with a one-line message.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
  for (int k = 1; k < argc; ++k) {
    const std::string option = argv[k];
    if (option == "--help") {
      options->help = true;
      continue;
    }
    if (option == "--json") {
      options->json = true;
      continue;
    }
    if (option == "--catalog") {
      options->catalog = true;
      continue;
    }
    if (option == "--sources") {
      options->sources = true;
      continue;
    }
    if (option == "--adversary") {
      if (options->has_comparator && options->comparator.rule != Rule::kAdversary) {
        *error = "--adversary replaces --comparator; give either";
        return false;
      }
      options->comparator.rule = Rule::kAdversary;
      options->has_comparator = true;
      continue;
    }
    const bool takes_value = option == "--pattern" || option == "--size" || option == "--seed" ||
                             option == "--values" || option == "--direction" ||
                             option == "--output" || option == "--pictures" ||
                             option == "--comparator" || option == "--budget";
    if (!takes_value) {
      *error = "unknown option '" + option + "' (see --help)";
      return false;
    }
    if (k + 1 == argc) {
      *error = option + " needs a value (see --help)";
      return false;
    }
    const std::string value = argv[++k];
    if (option == "--pattern") {
      std::vector<std::string> names;
      if (!SplitList(value, &names)) {
        *error = "--pattern needs one or more pattern names separated by commas";
        return false;
      }
      for (const std::string& name : names) {
        const PatternEntry* entry = sorting_patterns::FindPattern(name.c_str());
        if (entry == nullptr) {
          *error = "unknown pattern '" + name + "' (the patterns: " + PatternNames() + ")";
          return false;
        }
        // One race and one picture per input: a pattern named twice is a mistake.
        if (std::find(options->patterns.begin(), options->patterns.end(), entry->pattern) !=
            options->patterns.end()) {
          *error = "pattern '" + name + "' is given twice";
          return false;
        }
        options->patterns.push_back(entry->pattern);
      }
      options->has_patterns = true;
    } else if (option == "--size") {
      long long size = 0;
      if (!ParseInteger(value, 1, static_cast<long long>(kMaxValues), &size)) {
        *error = "--size must be a whole number from 1 to " + std::to_string(kMaxValues) +
                 ", not '" + value + "'";
        return false;
      }
      options->size = static_cast<std::size_t>(size);
      options->has_size = true;
    } else if (option == "--seed") {
      long long seed = 0;
      if (!ParseInteger(value, 0, 4294967295LL, &seed)) {
        *error = "--seed must be a whole number from 0 to 4294967295, not '" + value + "'";
        return false;
      }
      options->seed = static_cast<std::uint32_t>(seed);
      options->has_seed = true;
    } else if (option == "--values") {
      std::vector<std::string> items;
      if (!SplitList(value, &items)) {
        *error = "--values needs integers separated by commas, such as 5,1,4,2,3";
        return false;
      }
      // Counted with the values of an earlier --values, which this one extends.
      const std::size_t count = options->values.size() + items.size();
      if (count > kMaxValues) {
        *error = "--values takes at most " + std::to_string(kMaxValues) + " values, not " +
                 std::to_string(count);
        return false;
      }
      for (const std::string& item : items) {
        long long number = 0;
        if (!ParseInteger(item, INT32_MIN, INT32_MAX, &number)) {
          *error = "--values: '" + item + "' is not an integer from -2147483648 to 2147483647";
          return false;
        }
        options->values.push_back(static_cast<int>(number));
      }
      options->has_values = true;
    } else if (option == "--direction") {
      if (value != "ascending" && value != "descending") {
        *error = "--direction must be ascending or descending, not '" + value + "'";
        return false;
      }
      options->descending = value == "descending";
    } else if (option == "--comparator") {
      ComparatorChoice choice;
      if (!ParseComparator(value, &choice, error))
        return false;
      if (options->has_comparator && choice.rule != options->comparator.rule) {
        *error = "--comparator is given twice, or with --adversary";
        return false;
      }
      options->comparator = choice;
      options->has_comparator = true;
    } else if (option == "--budget") {
      long long budget = 0;
      if (!ParseInteger(value, 1, 1LL << 40, &budget)) {
        *error =
            "--budget must be a whole number of comparator calls, 1 or more, not '" + value + "'";
        return false;
      }
      options->budget = budget;
    } else if (option == "--output") {
      if (value.empty()) {
        *error = "--output needs a path";
        return false;
      }
      options->output = value;
    } else {
      if (value.empty()) {
        *error = "--pictures needs a folder";
        return false;
      }
      options->pictures = value;
    }
  }
  if (options->has_values && (options->has_patterns || options->has_size || options->has_seed)) {
    *error = "--values replaces --pattern, --size and --seed; give either";
    return false;
  }
  if (options->catalog && argc > 2) {
    *error = "--catalog takes no other option";
    return false;
  }
  if (options->sources && argc > 2) {
    *error = "--sources takes no other option";
    return false;
  }
  return true;
}

std::vector<Input> MakeInputs(const Options& options) {
  std::vector<Input> inputs;
  if (options.has_values) {
    inputs.push_back(ValuesInput(options.values, options.descending));
    inputs.back().comparator = options.comparator;
    return inputs;
  }
  std::vector<Pattern> patterns = options.patterns;
  if (!options.has_patterns) {
    for (const PatternEntry& entry : kPatterns)
      patterns.push_back(entry.pattern);
    // McIlroy's adversary settles the values itself: one input is all it needs.
    if (options.comparator.rule == Rule::kAdversary)
      patterns.resize(1);
  }
  for (Pattern pattern : patterns) {
    inputs.push_back(PatternInput(pattern, options.size, options.seed, options.descending));
    inputs.back().comparator = options.comparator;
  }
  return inputs;
}

// Writes `text` to a new file beside `path` and renames it over `path`, so that
// `path` holds either its old content or the whole new one, never a part. The
// process id in the temporary name keeps runs writing the same path apart.
bool WriteFile(const std::string& path, const std::string& text, std::string* error) {
  const std::string partial = path + "." + std::to_string(getpid()) + ".partial";
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const int write_errno = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    *error = "cannot write " + path + ": " + std::strerror(written ? errno : write_errno);
    std::remove(partial.c_str());
    return false;
  }
  if (std::rename(partial.c_str(), path.c_str()) != 0) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    std::remove(partial.c_str());
    return false;
  }
  return true;
}

std::string Base64(const unsigned char* bytes, std::size_t size) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((size + 2) / 3 * 4);
  for (std::size_t k = 0; k < size; k += 3) {
    const std::uint32_t chunk = (static_cast<std::uint32_t>(bytes[k]) << 16) |
                                (k + 1 < size ? static_cast<std::uint32_t>(bytes[k + 1]) << 8 : 0) |
                                (k + 2 < size ? bytes[k + 2] : 0);
    out += kDigits[(chunk >> 18) & 63];
    out += kDigits[(chunk >> 12) & 63];
    out += k + 1 < size ? kDigits[(chunk >> 6) & 63] : '=';
    out += k + 2 < size ? kDigits[chunk & 63] : '=';
  }
  return out;
}

// `size` bytes as a gzip stream, which the page undoes with the browser's
// DecompressionStream: the module shrinks to about two fifths of its size. Empty
// if zlib fails.
std::string Gzip(const unsigned char* bytes, std::size_t size) {
  z_stream stream{};
  // Window bits 15 + 16: zlib writes a gzip header and trailer around the deflate stream.
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    return std::string();
  std::string out(deflateBound(&stream, static_cast<uLong>(size)), '\0');
  stream.next_in = const_cast<Bytef*>(bytes);
  stream.avail_in = static_cast<uInt>(size);
  stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
  stream.avail_out = static_cast<uInt>(out.size());
  const bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return done ? out : std::string();
}

// The module for the page: its gzip stream in base64, or nothing without a module.
bool EmbeddedModule(std::string* text) {
  text->clear();
  if (kWasmModuleSize == 0)
    return true;
  const std::string packed = Gzip(kWasmModule, kWasmModuleSize);
  if (packed.empty())
    return false;
  *text = Base64(reinterpret_cast<const unsigned char*>(packed.data()), packed.size());
  return true;
}

// The inputs of a page, for the page to list and to record (with the module) at
// load: {"format":"sorting-inputs","version":1,"inputs":[{"pattern":"shuffled",
// "size":40,"seed":1,"direction":"ascending","reordered_equal_pairs":[0,3,...]},
// {"pattern":"values","values":[5,1],"direction":"descending",...}]}, with each
// sort's count of reordered pairs of equal values, which a page without the
// module shows beside the embedded traces. One line; the names are plain identifiers.
std::string InputsDocument(const std::vector<Recording>& recordings) {
  std::string out = "{\"format\":\"sorting-inputs\",\"version\":1,\"inputs\":[";
  for (std::size_t k = 0; k < recordings.size(); ++k) {
    const Input& input = recordings[k].input;
    out += k == 0 ? "{" : ",{";
    out += "\"pattern\":\"" + input.pattern + "\",";
    if (input.has_seed) {
      out += "\"size\":" + std::to_string(input.values.size()) +
             ",\"seed\":" + std::to_string(input.seed) + ",";
    } else {
      out += "\"values\":[";
      for (std::size_t v = 0; v < input.values.size(); ++v)
        out += (v == 0 ? "" : ",") + std::to_string(input.values[v]);
      out += "],";
    }
    out += std::string("\"direction\":\"") + (input.descending ? "descending" : "ascending") +
           "\",\"rule\":\"" + input.comparator.Name() + "\",\"reordered_equal_pairs\":[";
    for (const Trace& trace : recordings[k].traces)
      out += (&trace == &recordings[k].traces.front() ? "" : ",") +
             std::to_string(trace.reordered_equal_pairs);
    out += "]}";
  }
  return out + "]}";
}

// The library's headers as one JSON object, {"sorting/quick_sort.h": "text",
// ...}, sorted by path. Strings escape '<', so it can stand in a script element.
std::string SourcesDocument() {
  std::string out = "{";
  for (std::size_t k = 0; k < kLibrarySourcesCount; ++k) {
    const EmbeddedFile& file = kLibrarySources[k];
    if (k != 0)
      out += ',';
    AppendString(out, file.path);
    out += ':';
    AppendString(out, reinterpret_cast<const char*>(file.text));
  }
  return out + "}";
}

// The page template with the catalogue, its inputs, the WebAssembly module, the
// library's sources and, for a page without the module, the traces filled in.
// With the module the page records its inputs itself when it shows them (a few
// milliseconds each for the default ones), which keeps it light and makes its
// traces those of the same library build as the ones it records later. The
// markers are found in the template itself, each after the one before it, and
// replaced from the last one back, so nothing filled in is ever taken for a
// marker. The sources' marker is optional.
bool FillPage(const std::vector<Recording>& recordings, const std::string& json, std::string* page,
              std::string* error) {
  *page = std::string(reinterpret_cast<const char*>(kPageTemplate), kPageTemplateSize);
  struct Filling {
    const char* marker;
    std::string text;
    std::size_t at;
  };
  const bool has_module = kWasmModuleSize > 0;
  std::string module;
  if (!EmbeddedModule(&module)) {
    *error = "cannot compress the WebAssembly recorder";
    return false;
  }
  Filling fillings[] = {
      {kCatalogMarker, CatalogDocument(), 0},
      {kInputsMarker, InputsDocument(recordings), 0},
      {kTracesMarker, has_module ? std::string() : json, 0},
      {kWasmMarker, module, 0},
  };
  std::size_t from = 0;
  for (Filling& filling : fillings) {
    filling.at = page->find(filling.marker, from);
    if (filling.at == std::string::npos) {
      *error = std::string("the page template has no ") + filling.marker + " marker" +
               (from > 0 ? " after the one before it" : "");
      return false;
    }
    from = filling.at + std::strlen(filling.marker);
  }
  // From the last marker back, the sources' one (if any) in its place among them.
  const std::size_t sources_at = page->find(kSourcesMarker);
  bool sources_pending = sources_at != std::string::npos;
  const auto fill_sources = [&] {
    page->replace(sources_at, std::strlen(kSourcesMarker), SourcesDocument());
    sources_pending = false;
  };
  for (auto filling = std::rbegin(fillings); filling != std::rend(fillings); ++filling) {
    if (sources_pending && sources_at > filling->at)
      fill_sources();
    page->replace(filling->at, std::strlen(filling->marker), filling->text);
  }
  if (sources_pending)
    fill_sources();
  return true;
}

std::string PictureName(const Input& input) {
  return "history-" + input.pattern + (input.descending ? "-descending" : "") + ".png";
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "sort_show: %s\n", message.c_str());
  return 1;
}

int Run(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, &options, &error))
    return Fail(error);
  if (options.help || options.catalog || options.sources) {
    const std::string text = options.help      ? Usage()
                             : options.catalog ? CatalogDocument() + "\n"
                                               : SourcesDocument() + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }

  std::vector<Recording> recordings;
  for (Input& input : MakeInputs(options)) {
    recordings.push_back(RecordAll(std::move(input), true, options.budget));
    for (const Trace& trace : recordings.back().traces) {
      if (trace.events.too_many_sites)
        return Fail(std::string(trace.algorithm) + " made events on more than " +
                    std::to_string(kMaxSites) + " library lines, more than a trace can name");
    }
  }
  const std::string json = TraceDocument(recordings);

  std::string report;
  if (options.json && options.output.empty()) {
    std::fwrite(json.data(), 1, json.size(), stdout);
    std::fputc('\n', stdout);
  } else {
    const std::string path = options.output.empty() ? SORTING_SHOW_DEFAULT_OUTPUT : options.output;
    std::string text = json;
    if (!options.json && !FillPage(recordings, json, &text, &error))
      return Fail(error);
    if (!WriteFile(path, text, &error))
      return Fail(error);
    report += (options.json ? "Traces: " : "Page: ") + path + "\n";
  }

  if (!options.pictures.empty()) {
    if (mkdir(options.pictures.c_str(), 0777) != 0 && errno != EEXIST)
      return Fail("cannot create " + options.pictures + ": " + std::strerror(errno));
    for (const Recording& recording : recordings) {
      const std::string png = EncodePng(DrawHistory(recording));
      const std::string path = options.pictures + "/" + PictureName(recording.input);
      if (png.empty())
        return Fail("cannot compress the picture " + path);
      if (!WriteFile(path, png, &error))
        return Fail(error);
      report += "Picture: " + path + "\n";
    }
  }
  // Where standard output carries the JSON document, the report goes beside it.
  std::fputs(report.c_str(), options.json && options.output.empty() ? stderr : stdout);
  if (std::fflush(stdout) != 0)
    return Fail(std::string("cannot write to standard output: ") + std::strerror(errno));
  return 0;
}

}  // namespace
}  // namespace sorting_show

// Running out of memory (the JSON of 2048 values in reverse order runs to gigabytes) ends the
// program with one line, as every other failure does.
int main(int argc, char** argv) {
  try {
    return sorting_show::Run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "sort_show: %s\n", error.what());
    return 1;
  }
}
