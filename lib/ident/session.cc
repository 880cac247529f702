#include "session.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "containers/container_libraries.h"
#include "io/file_source.h"
#include "magic/fixed_signatures.h"
#include "magic/named_extension.h"
#include "worker/sandbox.h"

namespace ident {

namespace {

constexpr char kRequestAnalysis = 'A';
constexpr char kRequestDescription = 'D';
constexpr char kReplyResults = 'R';
constexpr char kReplyUnreadable = 'F';

// A request: its tag and the size of the file sent with it.
std::string request(char tag, std::uint64_t size) {
  std::string bytes(1 + sizeof size, tag);
  std::memcpy(bytes.data() + 1, &size, sizeof size);
  return bytes;
}

}  // namespace

bool Session::loadDefinitions(const char* directory) {
  // Whatever was loaded before goes first: a failed load leaves nothing.
  worker_.reset();
  engine_.reset();
  last_ = Analysis();
  if (directory == nullptr) {
    return false;
  }
  auto engine = std::make_unique<Engine>();
  std::string err;
  if (!engine->load(directory, &err)) {
    return false;
  }
  engine_ = std::move(engine);
  // The worker is forked from this process with the databases loaded, so a
  // restarted worker needs no reload; it confines itself before it reads a
  // file, unless that is switched off for debugging.
  Engine* loaded = engine_.get();
  Worker::Job job = [loaded](std::string_view request, ScopedFd file) {
    return serveRequest(*loaded, request, std::move(file));
  };
  if (!sandboxRequested()) {
    warnUnconfined("TRUEEXT_SANDBOX=off");
    worker_ = std::make_unique<Worker>(std::move(job));
    return true;
  }
  const std::uint64_t memory = analysisMemoryLimit();
  worker_ = std::make_unique<Worker>(
      std::move(job),
      [memory](int socket, std::string* confine_err) {
        // The engine reads every file it needs from a path in prepare(),
        // and the host loads the parsers a file needs, before the worker
        // is forked: once confined, the worker reads only the files it is
        // handed.
        closeLibraryLoading();
        return confineForAnalysis(socket, memory, confine_err);
      },
      warnUnconfined);
  return true;
}

bool Session::submit(const char* path) {
  last_ = Analysis();
  subject_.reset();
  if (path == nullptr) {
    submitted_.reset();
    return false;
  }
  submitted_ = path;
  return true;
}

std::string Session::serveRequest(Engine& engine, std::string_view request, ScopedFd file) {
  if (request.empty()) {
    return std::string(1, kReplyUnreadable);
  }
  // The tool's side opened the file and knows its size: the worker has no
  // call left to learn it.
  std::uint64_t size = 0;
  if (!file.valid() || request.size() != 1 + sizeof size) {
    return std::string(1, kReplyUnreadable) + "no file";
  }
  std::memcpy(&size, request.data() + 1, sizeof size);
  const std::unique_ptr<ByteSource> source = fileSource(std::move(file), size);
  // Appended rather than joined with +, which GCC 12 at -O3 wrongly takes
  // for an overlapping copy.
  std::string reply(1, kReplyResults);
  if (request.front() == kRequestDescription) {
    reply += truncateUtf8(engine.describe(*source), kMaxTextBytes);
  } else {
    reply += encodeAnalysis(engine.analyze(*source));
  }
  return reply;
}

bool Session::analyze() {
  last_ = Analysis();
  if (worker_ == nullptr || !submitted_ || submitted_->empty()) {
    return false;
  }
  // The file is opened here and its descriptor handed to the worker, which
  // cannot open one itself.
  std::string err;
  std::uint64_t size = 0;
  subject_ = openRegularFileDescriptor(*submitted_, &size, &err);
  if (!subject_.valid()) {
    return false;
  }
  subject_request_ = request(kRequestAnalysis, size);
  // A file of the commonest formats is known by a few bytes at fixed
  // offsets: no round trip to the worker, which is not even started for a
  // folder of photos unless a description is asked for.
  const std::string head = readHead(size);
  std::optional<Analysis> analysis;
  if (!head.empty()) {
    analysis = engine_->analyzeFixedSignature(head);
  }
  if (!analysis) {
    // The worker, forked from this process, finds libmagic's databases
    // loaded, since once confined it may open none; and the parser this
    // file needs, which a worker forked before it was loaded lacks.
    if (!prepareEngine()) {
      return false;
    }
    if (loadLibrariesFor(head)) {
      worker_->stop();
    }
    const std::optional<std::string> reply =
        worker_->call(subject_request_, subject_.get(), analysisTimeout(), &err);
    if (!reply || reply->empty() || reply->front() != kReplyResults) {
      return false;
    }
    analysis = decodeAnalysis(std::string_view(*reply).substr(1));
    if (!analysis) {
      return false;
    }
  }
  last_ = std::move(*analysis);
  // A name that already ends in one of the type's extensions keeps its
  // spelling, so the tool sees it carries one; the database the engine
  // names extensions from tells them, and is parsed only for such names.
  if (hasExtension(*submitted_)) {
    const MimeDatabase& database = engine_->mimeDatabase();
    for (Result& result : last_.results) {
      result.extension = extensionAsNamed(database, *submitted_, result.extension);
    }
  }
  return true;
}

bool Session::prepareEngine() {
  std::string err;
  if (engine_->prepare(&err)) {
    return true;
  }
  // Every file that needs libmagic fails alike: the reason is told once.
  static bool told = false;
  if (!told) {
    told = true;
    std::fprintf(stderr, "trueext: error: file analysis cannot start: %s\n", err.c_str());
  }
  return false;
}

std::string Session::readHead(std::uint64_t size) {
  char head[kFixedSignatureBytes];
  const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, sizeof head));
  ssize_t n = 0;
  do {
    n = ::pread(subject_.get(), head, wanted, 0);
  } while (n < 0 && errno == EINTR);
  return n > 0 ? std::string(head, static_cast<std::size_t>(n)) : "";
}

bool Session::fetchDescription(Result* result) {
  if (worker_ == nullptr || !subject_.valid()) {
    return false;
  }
  if (!prepareEngine()) {
    return false;
  }
  std::string err;
  subject_request_[0] = kRequestDescription;
  const std::optional<std::string> reply =
      worker_->call(subject_request_, subject_.get(), analysisTimeout(), &err);
  if (!reply || reply->empty() || reply->front() != kReplyResults) {
    return false;
  }
  result->description = singleLine(std::string_view(*reply).substr(1));
  result->describe_later = false;
  return true;
}

int Session::resultCount() const { return static_cast<int>(last_.results.size()); }

std::optional<std::string> Session::extension(int index) const {
  if (index < 1 || index > resultCount()) {
    return std::nullopt;
  }
  return last_.results[static_cast<std::size_t>(index - 1)].extension;
}

std::optional<std::string> Session::description(int index) {
  if (index < 1 || index > resultCount()) {
    return std::nullopt;
  }
  Result& result = last_.results[static_cast<std::size_t>(index - 1)];
  if (result.describe_later && !fetchDescription(&result)) {
    return std::nullopt;
  }
  return result.description;
}

Session& theSession() {
  static Session session;
  return session;
}

}  // namespace ident
