#include "session.h"

#include <cstring>

#include "file_source.h"
#include "ident_api.h"
#include "named_extension.h"
#include "sandbox.h"

namespace ident {

namespace {

constexpr char kRequestAnalysis = 'A';
constexpr char kRequestDescription = 'D';
constexpr char kReplyResults = 'R';
constexpr char kReplyUnreadable = 'F';

void writeText(char* buffer, std::string_view text) {
  if (buffer == nullptr) {
    return;
  }
  text = truncateUtf8(text, TRID_INFO_BUFFER_SIZE - 1);
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
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
  // The same database the engine names extensions from; without it every
  // name is simply compared with the extension the engine gives.
  mime_database_ = MimeDatabase();
  mime_database_.load("/usr/share/mime", &err);
  // The worker is forked from this process with the databases loaded, so a
  // restarted worker needs no reload; it confines itself before it reads a
  // file, unless that is switched off for debugging.
  Engine* loaded = engine_.get();
  Worker::Job job = [loaded](std::string_view request) { return serveRequest(*loaded, request); };
  if (!sandboxRequested()) {
    warnUnconfined("TRUEEXT_SANDBOX=off");
    worker_ = std::make_unique<Worker>(std::move(job));
    return true;
  }
  const std::uint64_t memory = analysisMemoryLimit();
  worker_ = std::make_unique<Worker>(
      std::move(job),
      [memory](int socket, std::string* confine_err) {
        return confineForAnalysis(socket, memory, confine_err);
      },
      warnUnconfined);
  return true;
}

bool Session::submit(const char* path) {
  last_ = Analysis();
  if (path == nullptr) {
    submitted_.reset();
    return false;
  }
  submitted_ = path;
  return true;
}

std::string Session::serveRequest(Engine& engine, std::string_view request) {
  if (request.empty()) {
    return std::string(1, kReplyUnreadable);
  }
  std::string err;
  const std::unique_ptr<ByteSource> source = openRegularFile(std::string(request.substr(1)), &err);
  if (source == nullptr) {
    return std::string(1, kReplyUnreadable) + err;
  }
  if (request.front() == kRequestDescription) {
    return std::string(1, kReplyResults) +
           std::string(truncateUtf8(engine.describe(*source), kMaxTextBytes));
  }
  return std::string(1, kReplyResults) + encodeAnalysis(engine.analyze(*source));
}

bool Session::analyze() {
  last_ = Analysis();
  if (worker_ == nullptr || !submitted_ || submitted_->empty()) {
    return false;
  }
  std::string err;
  const std::optional<std::string> reply =
      worker_->call(kRequestAnalysis + *submitted_, analysisTimeout(), &err);
  if (!reply || reply->empty() || reply->front() != kReplyResults) {
    return false;
  }
  std::optional<Analysis> analysis = decodeAnalysis(std::string_view(*reply).substr(1));
  if (!analysis) {
    return false;
  }
  last_ = std::move(*analysis);
  for (Result& result : last_.results) {
    result.extension = extensionAsNamed(mime_database_, *submitted_, result.extension);
  }
  return true;
}

bool Session::fetchDescription(Result* result) {
  if (worker_ == nullptr || !submitted_) {
    return false;
  }
  std::string err;
  const std::optional<std::string> reply =
      worker_->call(kRequestDescription + *submitted_, analysisTimeout(), &err);
  if (!reply || reply->empty() || reply->front() != kReplyResults) {
    return false;
  }
  result->description = singleLine(std::string_view(*reply).substr(1));
  result->describe_later = false;
  return true;
}

int Session::info(int code, int index, char* buffer) {
  writeText(buffer, "");
  const int count = static_cast<int>(last_.results.size());
  if (code == TRID_GET_RES_NUM) {
    return count;
  }
  if (index < 1 || index > count) {
    return 0;
  }
  Result& result = last_.results[static_cast<std::size_t>(index - 1)];
  if (code == TRID_GET_RES_FILEEXT) {
    writeText(buffer, result.extension);
    return 1;
  }
  if (code == TRID_GET_RES_FILETYPE) {
    if (result.describe_later && !fetchDescription(&result)) {
      return 0;
    }
    writeText(buffer, result.description);
    return 1;
  }
  return 0;
}

Session& theSession() {
  static Session session;
  return session;
}

}  // namespace ident
