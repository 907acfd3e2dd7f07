#include "fileio/text.h"

#include <cstring>
#include <string>

namespace {

constexpr char kLineFeed = 10;
constexpr char kCarriageReturn = 13;

bool IsLineEnd(char c) {
  return c == kLineFeed || c == kCarriageReturn;
}

void CopyCut(const std::string& text, char* out, std::size_t size) {
  if (out == nullptr || size == 0) return;
  const std::size_t length = text.size() < size ? text.size() : size - 1;
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
}

void SplitAt(std::string::size_type found, const std::string& text, char* head,
             std::size_t headSize, char* tail, std::size_t tailSize) {
  if (found == std::string::npos) {
    CopyCut(text, head, headSize);
    CopyCut(std::string(), tail, tailSize);
    return;
  }
  CopyCut(text.substr(0, found), head, headSize);
  CopyCut(text.substr(found + 1), tail, tailSize);
}

// Appends to a NUL-terminated line of fixed capacity, cutting what does not fit.
class LineBuilder {
 public:
  LineBuilder(char* line, std::size_t size) : line_(line), size_(size) { line_[0] = '\0'; }
  void Append(char c) {
    if (length_ + 1 >= size_) {
      cut_ = true;
      return;
    }
    line_[length_++] = c;
    line_[length_] = '\0';
  }
  bool cut() const { return cut_; }

 private:
  char* line_;
  std::size_t size_;
  std::size_t length_ = 0;
  bool cut_ = false;
};

bool ReadLineInto(TextReader& text, LineBuilder& line, LongLine longLine) {
  char c;
  if (!text.Next(c)) return false;
  // A first byte that ends a line is the LF of a CR LF pair whose CR ended
  // the previous line; dropping it also swallows one lone empty line.
  if (!IsLineEnd(c)) line.Append(c);
  for (;;) {
    if (line.cut() && longLine == LongLine::kStop) return false;
    if (!text.Next(c)) return false;
    if (IsLineEnd(c)) return true;
    line.Append(c);
  }
}

}  // namespace

void TextReader::SkipByteOrderMark() {
  static const char kMark[] = "\xEF\xBB\xBF";
  if (at_ == 0 && end_ == 0 && Fill() && end_ >= 3 && std::memcmp(block_, kMark, 3) == 0) at_ = 3;
}

bool TextReader::Fill() {
  if (ended_) return false;
  std::uint32_t got = 0;
  if (!file_.ReadUpTo(block_, kBlockSize, got)) failed_ = true;
  ended_ = failed_ || got == 0;
  at_ = 0;
  end_ = got;
  return got > 0;
}

bool ReadLine(TextReader& text, char* line, std::size_t size, bool* wasCut, LongLine longLine) {
  LineBuilder builder(line, size);
  const bool ended = ReadLineInto(text, builder, longLine);
  if (wasCut != nullptr) *wasCut = builder.cut();
  return ended;
}

void SplitAtFirst(const char* text, char separator, char* head, std::size_t headSize, char* tail,
                  std::size_t tailSize) {
  const std::string copy(text);
  SplitAt(copy.find(separator), copy, head, headSize, tail, tailSize);
}

void SplitAtLast(const char* text, char separator, char* head, std::size_t headSize, char* tail,
                 std::size_t tailSize) {
  const std::string copy(text);
  SplitAt(copy.rfind(separator), copy, head, headSize, tail, tailSize);
}
