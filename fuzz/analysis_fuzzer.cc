// libFuzzer target over the engine's analysis of one file's bytes, run
// in-process (without the worker) so that the sanitizers see every fault.
// The definitions directory comes from TRUEEXT_FUZZ_DEFS (ends with '/').
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "io/byte_source.h"
#include "engine.h"
#include "magic/fixed_signatures.h"

namespace {

ident::Engine* loadedEngine() {
  static ident::Engine* engine = [] {
    auto* e = new ident::Engine;
    const char* dir = std::getenv("TRUEEXT_FUZZ_DEFS");
    std::string err;
    if (!e->load(dir != nullptr ? dir : TRUEEXT_FUZZ_DEFAULT_DEFS, &err)) {
      std::abort();
    }
    return e;
  }();
  return engine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ident::BufferSource source(
      std::string_view(reinterpret_cast<const char*>(data), size));
  ident::Engine* engine = loadedEngine();
  const ident::Analysis full = engine->analyze(source);
  engine->describe(source);
  // The host's look at the first bytes answers as the full analysis does,
  // or not at all.
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (const std::optional<ident::Analysis> fixed =
          engine->analyzeFixedSignature(bytes.substr(0, ident::kFixedSignatureBytes))) {
    if (fixed->results.size() != full.results.size() ||
        fixed->results[0].extension != full.results[0].extension ||
        fixed->results[0].describe_later != full.results[0].describe_later) {
      std::abort();
    }
  }
  return 0;
}
