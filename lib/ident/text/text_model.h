// A learned linear model of text kinds, which names a text where the
// classifier's rules find too little evidence.
//
// The model weighs features of a file's first bytes: the tokens its lines
// hold, each line's first and last token, the shape of its first tokens
// ("name: value" is "#w:w") and whether lines are indented. A kind's score is
// its bias plus the weights of the features the file has; the highest score
// wins. bench/train_text_model.py learns the weights from the tuned part of
// the accuracy corpus and writes them to trueext-text.model, which travels
// beside the library and is read when the library prepares its analysis;
// bench/text_features.py computes the same features for the training.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ident::text {

// The model's answer: the kind that scored highest and by how much it led
// the next kind and plain text ("txt"), in the units of the trained weights.
struct ModelGuess {
  std::string_view extension;
  std::string_view description;
  double lead = 0;
  double lead_over_text = 0;  // infinite when the model has no plain text kind
};

class TextModel {
 public:
  // Takes the model from the bytes of a model file. False with |err|
  // filled when they are not a whole model; the model is then empty.
  bool parse(std::string_view bytes, std::string* err);

  bool loaded() const { return !classes_.empty(); }

  // The kind the model gives |head|, a file's first bytes; std::nullopt
  // when no model is loaded.
  std::optional<ModelGuess> classify(std::string_view head) const;

 private:
  struct Class {  // a kind the model was trained to name
    std::string extension;
    std::string description;
  };
  struct Weight {
    std::uint8_t kind;
    std::int8_t value;
  };
  std::vector<Class> classes_;
  std::optional<std::size_t> text_kind_;  // the index of the "txt" kind
  std::vector<int> biases_;
  std::vector<std::uint32_t> hashes_;   // ascending
  std::vector<std::uint32_t> offsets_;  // hashes_.size() + 1 bounds into weights_
  std::vector<Weight> weights_;
  double scale_ = 1;
};

// The distinct hashes of the features of |head|, ascending.
std::vector<std::uint32_t> featureHashes(std::string_view head);

}  // namespace ident::text
