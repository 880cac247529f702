#pragma once

#include <memory>
#include <optional>
#include <string>

#include "analysis.h"
#include "engine.h"
#include "io/scoped_fd.h"
#include "worker/worker.h"

namespace ident {

// The state behind the four entry points: the loaded definitions, the
// submitted path, the worker that analyses, and the last analysis's results.
// One per process; the entry points call it one at a time.
class Session {
 public:
  // Loads the definitions from |directory|. On failure nothing stays loaded
  // and every later analysis fails.
  bool loadDefinitions(const char* directory);

  // Makes |path| the subject of the next analysis; a null path clears it.
  bool submit(const char* path);

  // Analyses the submitted file in the worker. False when nothing is loaded
  // or submitted, the file cannot be read (missing, not permitted, not a
  // regular file), or the worker crashed or overran its time. A result's
  // extension is the one the submitted name already ends in when the shared
  // MIME database lists that one for the result's type.
  bool analyze();

  // The last analysis's results: how many there are, and result |index|'s
  // (counted from 1) extension and description; std::nullopt for an index
  // out of range, or a description left for later that the worker cannot
  // give. A description left for later is fetched from the worker on the
  // first request for it.
  int resultCount() const;
  std::optional<std::string> extension(int index) const;
  std::optional<std::string> description(int index);

  // The worker's job. A request is a tag byte and the file's size (8 bytes,
  // host order), sent with the descriptor of the submitted file: 'A'
  // analyses the file, 'D' describes it. A reply is 'R' and the encoded
  // analysis or the description, or 'F' and the reason the file could not
  // be read.
  static std::string serveRequest(Engine& engine, std::string_view request, ScopedFd file);

 private:
  std::unique_ptr<Engine> engine_;
  std::unique_ptr<Worker> worker_;
  // Loads what the engine left for the first file that needs libmagic;
  // says once on standard error why when it cannot.
  bool prepareEngine();
  // The first kFixedSignatureBytes bytes of the submitted file, open as
  // subject_ and |size| bytes long (fewer when it is shorter); "" when none
  // can be read. The engine tells the commonest formats from them.
  std::string readHead(std::uint64_t size);
  // Fills a result's description left for later; false when the worker
  // cannot give it.
  bool fetchDescription(Result* result);

  std::optional<std::string> submitted_;
  // The submitted file, opened for its analysis and kept for the
  // descriptions fetched later, and the request that goes with it.
  ScopedFd subject_;
  std::string subject_request_;
  Analysis last_;
};

// The process's one Session.
Session& theSession();

}  // namespace ident
