#include "fileio/text.h"

#include <cstring>

namespace {

constexpr char kLineFeed = 10;
constexpr char kCarriageReturn = 13;

bool IsLineEnd(char c) {
  return c == kLineFeed || c == kCarriageReturn;
}

// `length` bytes from `from` into `out`, cut to its capacity; they may overlap.
void CopyCut(const char* from, std::size_t length, char* out, std::size_t size) {
  if (out == nullptr || size == 0) return;
  if (length >= size) length = size - 1;
  std::memmove(out, from, length);
  out[length] = '\0';
}

// The part after the separator lies after the part before it, so when the
// tail is written over the text it goes last, and first otherwise.
void SplitAt(const char* text, const char* found, char* head, std::size_t headSize, char* tail,
             std::size_t tailSize) {
  const std::size_t headLength = found != nullptr ? found - text : std::strlen(text);
  const char* const tailText = found != nullptr ? found + 1 : text + headLength;
  const std::size_t tailLength = std::strlen(tailText);
  if (tail == text) CopyCut(text, headLength, head, headSize);
  CopyCut(tailText, tailLength, tail, tailSize);
  if (tail != text) CopyCut(text, headLength, head, headSize);
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

bool CopyText(const char* text, char* out, std::size_t size) {
  std::size_t length = 0;
  return AppendText(text, out, size, length);
}

bool AppendText(const char* text, char* out, std::size_t size, std::size_t& length) {
  const std::size_t more = std::strlen(text);
  if (length + more >= size) return false;
  std::memcpy(out + length, text, more + 1);
  length += more;
  return true;
}

void SplitAtFirst(const char* text, char separator, char* head, std::size_t headSize, char* tail,
                  std::size_t tailSize) {
  SplitAt(text, std::strchr(text, separator), head, headSize, tail, tailSize);
}

void SplitAtLast(const char* text, char separator, char* head, std::size_t headSize, char* tail,
                 std::size_t tailSize) {
  SplitAt(text, std::strrchr(text, separator), head, headSize, tail, tailSize);
}
