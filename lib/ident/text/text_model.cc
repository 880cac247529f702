// The model file, all numbers little-endian:
//   "TXTMODL1", then uint32 kinds K, features F, weights W, float32 scale;
//   K times: extension and description, each a length byte and its bytes;
//   K int16 biases; F uint32 feature hashes, ascending; F + 1 uint32 offsets
//   into the weights; W weights, each a kind byte and an int8 value.
// A weight or bias is its stored integer times the scale.
#include "text_model.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <limits>

namespace ident::text {
namespace {

constexpr std::string_view kMagic = "TXTMODL1";
constexpr std::size_t kHeadBytes = 8 << 10;
constexpr std::size_t kMaxLines = 300;
constexpr std::size_t kMaxWord = 24;
constexpr std::size_t kMaxPunct = 3;
constexpr std::size_t kShapeTokens = 4;

// Reads the model's fields in order; any read past the end fails them all.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  bool atEnd() const { return ok_ && bytes_.empty(); }

  template <typename T>
  T number() {
    T value{};
    if (bytes_.size() < sizeof value) {
      ok_ = false;
      return value;
    }
    std::memcpy(&value, bytes_.data(), sizeof value);  // the host is little-endian
    bytes_.remove_prefix(sizeof value);
    return value;
  }
  std::string text() {
    const std::size_t size = number<std::uint8_t>();
    if (!ok_ || bytes_.size() < size) {
      ok_ = false;
      return {};
    }
    std::string out(bytes_.substr(0, size));
    bytes_.remove_prefix(size);
    return out;
  }
  std::size_t left() const { return bytes_.size(); }

 private:
  std::string_view bytes_;
  bool ok_ = true;
};

bool isBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

bool isWordByte(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         c >= 0x80;
}

// 32-bit FNV-1a of the parts, one after the other.
std::uint32_t fnv1a(std::initializer_list<std::string_view> parts) {
  std::uint32_t hash = 0x811C9DC5u;
  for (std::string_view part : parts) {
    for (char c : part) {
      hash = (hash ^ static_cast<unsigned char>(c)) * 0x01000193u;
    }
  }
  return hash;
}

struct Token {
  std::string_view text;
  bool word;
};

// The tokens of a line whose leading blanks are gone (bench/text_features.py
// says which).
void tokenize(std::string_view rest, std::vector<Token>* out) {
  out->clear();
  std::size_t i = 0;
  while (i < rest.size()) {
    const auto c = static_cast<unsigned char>(rest[i]);
    if (isBlank(c)) {
      ++i;
      continue;
    }
    std::size_t j = i;
    if (isWordByte(c)) {
      bool wide = false;
      bool digits = true;
      while (j < rest.size() && isWordByte(static_cast<unsigned char>(rest[j]))) {
        const auto b = static_cast<unsigned char>(rest[j]);
        wide |= b >= 0x80;
        digits &= b >= '0' && b <= '9';
        ++j;
      }
      std::string_view word = rest.substr(i, j - i);
      out->push_back({wide ? "U" : digits ? "0" : word.substr(0, kMaxWord), true});
    } else {
      while (j < rest.size() && !isWordByte(static_cast<unsigned char>(rest[j])) &&
             !isBlank(static_cast<unsigned char>(rest[j]))) {
        ++j;
      }
      out->push_back({rest.substr(i, std::min(j - i, kMaxPunct)), false});
    }
    i = j;
  }
}

}  // namespace

std::vector<std::uint32_t> featureHashes(std::string_view head) {
  head = head.substr(0, kHeadBytes);
  if (head.starts_with("\xEF\xBB\xBF")) {
    head.remove_prefix(3);
  }
  std::vector<std::uint32_t> hashes;
  std::vector<Token> tokens;
  std::string shape;
  std::size_t lines = 0;
  while (lines < kMaxLines) {
    const std::size_t end = head.find('\n');
    std::string_view line = head.substr(0, end);
    ++lines;
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    const std::size_t indent = std::min(line.find_first_not_of(" \t"), line.size());
    tokenize(line.substr(indent), &tokens);
    if (!tokens.empty()) {
      if (indent > 0) {
        hashes.push_back(fnv1a({line[0] == '\t' ? "~t" : "~s"}));
      }
      for (const Token& token : tokens) {
        hashes.push_back(fnv1a({token.text}));
      }
      hashes.push_back(fnv1a({"^", tokens.front().text}));
      const Token& last = tokens.back();
      hashes.push_back(last.word ? fnv1a({"$w"}) : fnv1a({"$", last.text}));
      shape.clear();
      for (std::size_t t = 0; t < tokens.size() && t < kShapeTokens; ++t) {
        shape += tokens[t].word ? (tokens[t].text == "0" ? "0" : "w") : tokens[t].text;
      }
      hashes.push_back(fnv1a({"#", shape}));
    }
    if (end == std::string_view::npos) {
      break;
    }
    head.remove_prefix(end + 1);
  }
  std::sort(hashes.begin(), hashes.end());
  hashes.erase(std::unique(hashes.begin(), hashes.end()), hashes.end());
  return hashes;
}

bool TextModel::parse(std::string_view bytes, std::string* err) {
  *this = TextModel();
  if (!bytes.starts_with(kMagic)) {
    *err = "not a text model";
    return false;
  }
  Reader in(bytes.substr(kMagic.size()));
  const auto kinds = in.number<std::uint32_t>();
  const auto features = in.number<std::uint32_t>();
  const auto weights = in.number<std::uint32_t>();
  const auto scale = in.number<float>();
  // Each count is checked against the bytes left before anything of that
  // size is allocated, so a damaged count cannot ask for gigabytes.
  if (!in.ok() || kinds == 0 || kinds > 255 || !(scale > 0) || features > in.left() / 8 ||
      weights > in.left() / 2) {
    *err = "text model: bad header";
    return false;
  }
  TextModel model;
  model.scale_ = scale;
  for (std::uint32_t k = 0; k < kinds; ++k) {
    std::string extension = in.text();
    std::string description = in.text();
    model.classes_.push_back({std::move(extension), std::move(description)});
  }
  for (std::uint32_t k = 0; k < kinds; ++k) {
    model.biases_.push_back(in.number<std::int16_t>());
  }
  model.hashes_.resize(features);
  for (auto& hash : model.hashes_) {
    hash = in.number<std::uint32_t>();
  }
  model.offsets_.resize(std::size_t{features} + 1);
  for (auto& offset : model.offsets_) {
    offset = in.number<std::uint32_t>();
  }
  model.weights_.resize(weights);
  for (Weight& weight : model.weights_) {
    weight.kind = in.number<std::uint8_t>();
    weight.value = in.number<std::int8_t>();
  }
  const bool sorted = std::adjacent_find(model.hashes_.begin(), model.hashes_.end(),
                                         std::greater_equal<>()) == model.hashes_.end();
  const bool bounded = model.offsets_.front() == 0 && model.offsets_.back() == weights &&
                       std::is_sorted(model.offsets_.begin(), model.offsets_.end());
  const bool kinds_known = std::all_of(model.weights_.begin(), model.weights_.end(),
                                       [&](const Weight& w) { return w.kind < kinds; });
  if (!in.atEnd() || !sorted || !bounded || !kinds_known) {
    *err = "text model: damaged tables";
    return false;
  }
  for (std::size_t k = 0; k < model.classes_.size(); ++k) {
    if (model.classes_[k].extension == "txt") {
      model.text_kind_ = k;
    }
  }
  *this = std::move(model);
  return true;
}

std::optional<ModelGuess> TextModel::classify(std::string_view head) const {
  if (!loaded()) {
    return std::nullopt;
  }
  std::vector<int> scores = biases_;
  for (std::uint32_t hash : featureHashes(head)) {
    const auto found = std::lower_bound(hashes_.begin(), hashes_.end(), hash);
    if (found == hashes_.end() || *found != hash) {
      continue;
    }
    const auto index = static_cast<std::size_t>(found - hashes_.begin());
    for (std::uint32_t w = offsets_[index]; w < offsets_[index + 1]; ++w) {
      scores[weights_[w].kind] += weights_[w].value;
    }
  }
  std::size_t best = 0;
  for (std::size_t k = 1; k < scores.size(); ++k) {
    if (scores[k] > scores[best]) {
      best = k;
    }
  }
  int second = scores.size() > 1 ? (best == 0 ? scores[1] : scores[0]) : scores[best];
  for (std::size_t k = 0; k < scores.size(); ++k) {
    if (k != best) {
      second = std::max(second, scores[k]);
    }
  }
  const double lead_over_text = text_kind_
                                    ? (scores[best] - scores[*text_kind_]) * scale_
                                    : std::numeric_limits<double>::infinity();
  return ModelGuess{classes_[best].extension, classes_[best].description,
                    (scores[best] - second) * scale_, lead_over_text};
}

}  // namespace ident::text
