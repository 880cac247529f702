#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "io/byte_source.h"
#include "engine.h"

namespace ident {

// A test suite whose tests share one engine, loaded once from the build
// folder, where the definitions lie beside the library.
class LoadedEngineTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    engine_ = new Engine;
    std::string err;
    ASSERT_TRUE(engine_->load(IDENT_BUILD_DIR, &err)) << err;
  }
  static void TearDownTestSuite() {
    delete engine_;
    engine_ = nullptr;
  }

  // The extension of the engine's first result for |bytes|, "(none)"
  // without one.
  static std::string firstExtension(std::string_view bytes) {
    const Analysis analysis = engine_->analyze(BufferSource(bytes));
    return analysis.results.empty() ? "(none)" : analysis.results.front().extension;
  }

  static inline Engine* engine_ = nullptr;
};

}  // namespace ident
