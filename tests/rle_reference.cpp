#include "tests/rle_reference.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <set>
#include <vector>

std::optional<std::string> DecodeRle(const std::string& stream, std::int32_t width,
                                     std::int32_t height, int bits) {
  std::string pixels(static_cast<std::size_t>(std::int64_t{width} * height), '\0');
  auto set = [&](std::int64_t x, std::int64_t y, int value) {
    if (x < width && y < height)
      pixels[static_cast<std::size_t>(y * width + x)] = static_cast<char>(value);
  };
  auto byte = [&](std::size_t at) { return static_cast<std::uint8_t>(stream[at]); };
  // Pixel i of a run of colours `pair`: RLE4 alternates its two nibbles.
  auto colour = [bits](int pair, int i) {
    return bits == 8 ? pair : i % 2 == 0 ? pair >> 4 : pair & 15;
  };
  std::int64_t x = 0, y = 0;
  for (std::size_t at = 0;;) {
    if (at + 2 > stream.size()) return std::nullopt;
    const int first = byte(at), second = byte(at + 1);
    at += 2;
    if (first > 0) {  // encoded: a count, and the colours
      for (int i = 0; i < first; ++i) set(x + i, y, colour(second, i));
      x += first;
    } else if (second == 0) {  // end of line
      x = 0;
      ++y;
    } else if (second == 1) {  // end of bitmap
      return pixels;
    } else if (second == 2) {  // delta: right, then up
      if (at + 2 > stream.size()) return std::nullopt;
      x += byte(at);
      y += byte(at + 1);
      at += 2;
    } else {  // absolute: `second` pixels, `bits` each, padded to 16 bits
      const std::size_t bytes = (second * bits + 15) / 16 * 2;
      if (at + bytes > stream.size()) return std::nullopt;
      for (int i = 0; i < second; ++i) set(x + i, y, colour(byte(at + i * bits / 8), i));
      x += second;
      at += bytes;
    }
  }
}

std::string FourBitRows(const std::string& pixels, std::int32_t width, std::int32_t height) {
  std::uint8_t index[256];
  for (int value = 0; value < 256; ++value) index[value] = static_cast<std::uint8_t>(value);
  std::set<std::uint8_t> used(pixels.begin(), pixels.end());
  if (!used.empty() && *used.rbegin() >= 16) {
    int next = 0;
    for (std::uint8_t value : used) index[value] = static_cast<std::uint8_t>(next++);
  }
  const std::int64_t rowBytes = (std::int64_t{width} + 7) / 8 * 4;
  std::string rows(static_cast<std::size_t>(rowBytes * height), '\0');
  for (std::int64_t y = 0; y < height; ++y) {
    for (std::int64_t x = 0; x < width; ++x) {
      const int value = index[static_cast<std::uint8_t>(pixels[y * width + x])];
      rows[y * rowBytes + x / 2] =
          static_cast<char>(rows[y * rowBytes + x / 2] | value << (x % 2 == 0 ? 4 : 0));
    }
  }
  return rows;
}

std::string RandomRleStream(std::mt19937& random, std::int32_t width, std::int32_t height,
                            int bits) {
  auto between = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  // Often 16 values, and sometimes all below 16.
  std::vector<int> values(between(0, 3) == 0 ? 16 : between(1, 16));
  const int highest = between(0, 2) == 0 ? 15 : 255;
  for (int& value : values) value = between(0, highest);
  // A run's byte of colours: two random nibbles, or one of the values.
  auto colours = [&] {
    return bits == 4 ? between(0, 255) : values[between(0, values.size() - 1)];
  };
  std::string out;
  auto put = [&out](std::initializer_list<int> bytes) {
    for (int value : bytes) out += static_cast<char>(value);
  };
  std::int64_t x = 0, y = 0;
  std::int64_t rowEnd = width;  // where this row's runs stop
  while (y < height) {
    if (x >= rowEnd) {
      if (between(0, 2 * height) == 0) break;  // the end of the bitmap, straight after a run
      if (between(0, 7) == 0) {                // up, some rows or across a band
        const int right = between(0, 40), up = between(1, between(0, 7) == 0 ? 255 : 4);
        put({0, 2, right, up});
        x += right;
        y += up;
      } else {
        put({0, 0});
        x = 0;
        ++y;
      }
      rowEnd = between(0, 9) == 0 ? between(0, width + 300) : width;
      continue;
    }
    const int kind = between(0, 99);
    if (kind < 4) {  // right along the row
      const int right = between(0, 255);
      put({0, 2, right, 0});
      x += right;
    } else if (kind < 70) {
      const int count = kind < 55 ? between(1, 16) : between(17, 255);
      put({count, colours()});
      x += count;
    } else {
      const int count = between(3, 255);
      put({0, count});
      const int bytes = (count * bits + 15) / 16 * 2;
      for (int i = 0; i < bytes; ++i) put({bits == 4 || i < count ? colours() : 0});
      x += count;
    }
  }
  // Past the top, a run whose value the image does not hold.
  if (y >= height && between(0, 1) == 0) put({between(1, 255), between(0, 255)});
  put({0, 1});
  return out;
}

bool BandsMatch(InFile& source, const SourceImage& image, const BandPlan& plan,
                std::int64_t groupTiles, const std::string& rows) {
  const SourceGeometry& geometry = image.geometry;
  const std::int64_t rowBytes = geometry.RowBytes();
  if (!image.rows->Reserve(plan.rows, rowBytes)) return false;
  BandPlan fetches = plan;
  fetches.groupTiles = groupTiles;
  for (std::int64_t band = 0; band < plan.count; ++band) {
    const StoredRows stored = StoredRowsOf(geometry, plan.top + band * plan.rows, plan.rows);
    auto matches = [&](std::int64_t first, std::int64_t end) {
      if (stored.count == 0 || first >= end) return true;
      const std::int64_t bytes = end - first;
      std::vector<std::uint8_t> fetched(stored.count * bytes);
      if (!image.rows->Read(source, stored.first, stored.count, first, bytes, fetched.data())) {
        return false;
      }
      for (std::int64_t i = 0; i < stored.count; ++i) {
        if (std::memcmp(fetched.data() + i * bytes,
                        rows.data() + (stored.first + i) * rowBytes + first, bytes) != 0) {
          return false;
        }
      }
      return true;
    };
    if (!matches(0, rowBytes)) return false;
    for (std::int64_t index = 0; index < fetches.GroupCount(); ++index) {
      const ColumnGroup group = fetches.Group(index);
      if (!matches(std::max<std::int64_t>(group.firstByte, 0), std::min(group.endByte, rowBytes))) {
        return false;
      }
    }
  }
  return true;
}
