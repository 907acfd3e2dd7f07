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

// Appends to a NUL-terminated line of fixed capacity, cutting what does not fit.
class LineBuilder {
 public:
  LineBuilder(char* line, std::size_t size) : line_(line), size_(size) { line_[0] = '\0'; }
  void Append(char c) {
    if (length_ + 1 >= size_) {
      facts_.cut = true;
      return;
    }
    facts_.heldNul = facts_.heldNul || c == '\0';
    line_[length_++] = c;
    line_[length_] = '\0';
  }
  bool cut() const { return facts_.cut; }
  const LineFacts& facts() const { return facts_; }

 private:
  char* line_;
  std::size_t size_;
  std::size_t length_ = 0;
  LineFacts facts_;
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

void TextReader::ReadByteOrderMark() {
  if (bytesEnd_ != 0 || !ReadBytes()) return;
  auto startsWith = [this](const char* mark, std::size_t length) {
    return bytesEnd_ >= length && std::memcmp(bytes_, mark, length) == 0;
  };
  if (startsWith("\xEF\xBB\xBF", 3)) {
    bytesAt_ = 3;
  } else if (startsWith("\xFF\xFE", 2) || startsWith("\xFE\xFF", 2)) {
    utf16_ = true;
    bigEndian_ = bytes_[0] == 0xFE;
    bytesAt_ = 2;
  }
}

// The next block of text: the bytes as they are, or the WTF-8 of whole
// UTF-16 units, a surrogate pair never split between two blocks.
bool TextReader::Fill() {
  at_ = end_ = 0;
  if (!utf16_) {
    if (bytesAt_ == bytesEnd_ && !ReadBytes()) return false;
    end_ = bytesEnd_ - bytesAt_;
    std::memcpy(text_, bytes_ + bytesAt_, end_);
    bytesAt_ = bytesEnd_;
    return true;
  }
  char16_t units[kBlockSize / 4];  // their WTF-8 fits, at most 3 bytes a unit
  std::size_t count = 0;
  while (count < sizeof units / sizeof units[0] && NextUnit(units[count])) ++count;
  if (count == sizeof units / sizeof units[0] && IsHighSurrogate(units[count - 1])) {
    --count;
    bytesAt_ -= 2;  // still at hand: waits for the block its pair is in
  }
  end_ = static_cast<std::size_t>(Wtf8FromUtf16(units, count, text_, sizeof text_));
  return count > 0;
}

// Keeps the bytes not yet taken and reads more after them.
bool TextReader::ReadBytes() {
  if (ended_) return false;
  const std::size_t kept = bytesEnd_ - bytesAt_;
  std::memmove(bytes_, bytes_ + bytesAt_, kept);
  std::uint32_t got = 0;
  if (!file_.ReadUpTo(bytes_ + kept, static_cast<std::uint32_t>(kBlockSize - kept), got)) {
    failed_ = true;
  }
  ended_ = failed_ || got == 0;
  bytesAt_ = 0;
  bytesEnd_ = kept + got;
  return got > 0;
}

// The next UTF-16 unit; false at the end of the file, where a last odd byte
// is no unit.
bool TextReader::NextUnit(char16_t& unit) {
  while (bytesEnd_ - bytesAt_ < 2) {
    if (!ReadBytes()) return false;
  }
  const unsigned first = bytes_[bytesAt_], second = bytes_[bytesAt_ + 1];
  unit = static_cast<char16_t>(bigEndian_ ? first << 8 | second : second << 8 | first);
  bytesAt_ += 2;
  return true;
}

bool ReadLine(TextReader& text, char* line, std::size_t size, LineFacts* facts, LongLine longLine) {
  LineBuilder builder(line, size);
  const bool ended = ReadLineInto(text, builder, longLine);
  if (facts != nullptr) *facts = builder.facts();
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
