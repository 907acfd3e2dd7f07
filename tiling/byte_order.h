// Little-endian field access, so that a file layout reads the same on any
// compiler and host.
#pragma once

#include <cstdint>
#include <cstring>

class ByteReader {
 public:
  explicit ByteReader(const std::uint8_t* bytes) : at_(bytes) {}
  std::uint16_t U16() {
    const std::uint16_t value = static_cast<std::uint16_t>(at_[0] | at_[1] << 8);
    at_ += 2;
    return value;
  }
  std::uint32_t U32() {
    const std::uint32_t value =
        static_cast<std::uint32_t>(at_[0]) | static_cast<std::uint32_t>(at_[1]) << 8 |
        static_cast<std::uint32_t>(at_[2]) << 16 | static_cast<std::uint32_t>(at_[3]) << 24;
    at_ += 4;
    return value;
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }

 private:
  const std::uint8_t* at_;
};

class ByteWriter {
 public:
  explicit ByteWriter(std::uint8_t* bytes) : at_(bytes) {}
  void U16(std::uint16_t value) {
    *at_++ = static_cast<std::uint8_t>(value);
    *at_++ = static_cast<std::uint8_t>(value >> 8);
  }
  void U32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) *at_++ = static_cast<std::uint8_t>(value >> shift);
  }
  void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
  void Bytes(const std::uint8_t* bytes, int count) {
    std::memcpy(at_, bytes, count);
    at_ += count;
  }

 private:
  std::uint8_t* at_;
};
