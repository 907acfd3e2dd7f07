// SSSE3 (every x86 processor since about 2008) packs 16 bytes with one
// multiply-add per 16 pixels: pixel 2i times 16 plus pixel 2i + 1.
#include <cpuid.h>
#include <tmmintrin.h>

#include "tiling/nibbles.h"

namespace {

__attribute__((target("ssse3"))) void PackWithSsse3(const std::uint8_t* pixels,
                                                    std::uint8_t* packed, std::int64_t bytes) {
  const __m128i weights =
      _mm_set1_epi16(0x0110);  // 16 for the first byte of a pair, 1 for the second
  std::int64_t i = 0;
  for (; i + 16 <= bytes; i += 16) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + 2 * i));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + 2 * i + 16));
    const __m128i pairs =
        _mm_packus_epi16(_mm_maddubs_epi16(low, weights), _mm_maddubs_epi16(high, weights));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(packed + i), pairs);
  }
  PackNibblesPortably(pixels + 2 * i, packed + i, bytes - i);
}

// CPUID leaf 1 tells SSSE3 in bit 9 of ECX; asked once. (The library's own
// processor check would add more to the Windows program than this file.)
bool HasSsse3() {
  unsigned eax, ebx, ecx, edx;
  return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_SSSE3) != 0;
}

const bool kHasSsse3 = HasSsse3();

}  // namespace

void PackNibbles(const std::uint8_t* pixels, std::uint8_t* packed, std::int64_t bytes) {
  if (kHasSsse3) return PackWithSsse3(pixels, packed, bytes);
  PackNibblesPortably(pixels, packed, bytes);
}
