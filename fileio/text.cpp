#include "fileio/text.h"

#include <cstring>

#include "fileio/wtf8.h"

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

// Appends to a NUL-terminated line of fixed capacity; what does not fit is
// cut off.
class LineBuilder {
 public:
  LineBuilder(char* line, std::size_t size) : line_(line), size_(size) { line_[0] = '\0'; }
  void Append(char c) {
    if (length_ + 1 >= size_) {
      whole_ = false;
      return;
    }
    whole_ = whole_ && c != '\0';
    line_[length_++] = c;
    line_[length_] = '\0';
  }
  // Nothing cut off, and no NUL cutting the string short.
  bool whole() const { return whole_; }

 private:
  char* line_;
  std::size_t size_;
  std::size_t length_ = 0;
  bool whole_ = true;
};

// Reads a line into `line` until it ends, or until it is no longer whole
// when `stopWhenCut`. True when it ended in CR or LF.
bool ReadLineInto(TextReader& text, LineBuilder& line, bool stopWhenCut) {
  char c;
  if (!text.Next(c)) return false;
  // A first byte that ends a line is the LF of a CR LF pair whose CR ended
  // the previous line; dropping it also swallows one lone empty line.
  if (!IsLineEnd(c)) line.Append(c);
  while (!stopWhenCut || line.whole()) {
    if (!text.Next(c)) return false;
    if (IsLineEnd(c)) return true;
    line.Append(c);
  }
  return false;
}

}  // namespace

bool TextReader::Reserve(std::size_t blockBytes) {
  return blocks_.Reserve(blockBytes < 4 ? 4 : blockBytes);  // a character's bytes at least
}

void TextReader::ReadByteOrderMark() {
  ByteSpan bytes;
  if (offset_ != 0 || !Fetch(3, bytes)) return;
  auto startsWith = [&bytes](const char* mark, std::size_t length) {
    return bytes.size >= length && std::memcmp(bytes.at, mark, length) == 0;
  };
  if (startsWith("\xEF\xBB\xBF", 3)) {
    offset_ = 3;
  } else if (startsWith("\xFF\xFE", 2) || startsWith("\xFE\xFF", 2)) {
    utf16_ = true;
    bigEndian_ = bytes.at[0] == 0xFE;
    offset_ = 2;
  }
}

bool TextReader::Fetch(std::size_t count, ByteSpan& bytes) {
  if (failed_ || !blocks_.Fetch(file_, offset_, count, bytes)) {
    failed_ = true;
    return false;
  }
  return true;
}

// The next byte, or for UTF-16 text the WTF-8 of the next character: one
// unit, or a surrogate pair. A last odd byte is no unit.
bool TextReader::TakeCharacter() {
  ByteSpan bytes;
  if (!Fetch(utf16_ ? 4 : 1, bytes)) return false;
  pendingAt_ = 0;
  if (!utf16_) {
    if (bytes.size == 0) return false;
    pending_[0] = static_cast<char>(bytes.at[0]);
    pendingEnd_ = 1;
    ++offset_;
    return true;
  }
  char16_t units[2];
  const std::size_t count = bytes.size / 2 < 2 ? bytes.size / 2 : 2;
  if (count == 0) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned first = bytes.at[2 * i], second = bytes.at[2 * i + 1];
    units[i] = static_cast<char16_t>(bigEndian_ ? first << 8 | second : second << 8 | first);
  }
  std::size_t taken;
  pendingEnd_ = Wtf8OfCharacter(units, count, pending_, taken);
  offset_ += static_cast<std::int64_t>(2 * taken);
  return true;
}

bool ReadLine(TextReader& text, char* line, std::size_t size) {
  LineBuilder builder(line, size);
  return ReadLineInto(text, builder, false);
}

bool ReadWholeLine(TextReader& text, char* line, std::size_t size) {
  LineBuilder builder(line, size);
  ReadLineInto(text, builder, true);
  return builder.whole();
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
