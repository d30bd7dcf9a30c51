// CToken: splits a text at each occurrence of a delimiter text.
//
// Built from a text, then given a delimiter. NextPiece returns the text before the first
// occurrence of the delimiter in what remains and drops only the delimiter's first character from
// what remains (the rest of the delimiter starts the next remainder); when the delimiter no longer
// occurs, the next call returns the whole remainder.
#pragma once

#include <cstdint>
#include <string>

namespace wexholt {

class CToken {
 public:
  explicit CToken(std::string text) : fullText_(text), remainingText_(std::move(text)) {}

  void SetDelimiter(std::string delimiter) { delimiter_ = std::move(delimiter); }

  bool HasMorePieces() const {
    return atLastPiece_ || (!delimiter_.empty() && remainingText_.find(delimiter_) != std::string::npos);
  }

  std::string NextPiece() {
    started_ = 1;
    if (atLastPiece_) {
      atLastPiece_ = 0;
      return remainingText_;
    }
    const size_t p = delimiter_.empty() ? std::string::npos : remainingText_.find(delimiter_);
    std::string piece;
    if (p == std::string::npos) {
      // No delimiter left: the piece is empty and nothing of the remainder is consumed.
      if (!delimiter_.empty() && remainingText_.find(delimiter_) == std::string::npos) atLastPiece_ = 1;
      return piece;
    }
    piece = remainingText_.substr(0, p);
    remainingText_.erase(0, p + 1);
    if (remainingText_.find(delimiter_) == std::string::npos) atLastPiece_ = 1;
    return piece;
  }

  const std::string& FullText() const { return fullText_; }
  const std::string& RemainingText() const { return remainingText_; }

 private:
  std::string fullText_;
  std::string remainingText_;
  std::string delimiter_;
  int32_t started_ = 0;
  uint8_t atLastPiece_ = 0;
};

}  // namespace wexholt
