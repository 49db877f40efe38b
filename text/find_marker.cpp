#include "text/find_marker.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// 32 bytes at a time where the processor has AVX2, chosen at run time.
#define QORVELLA_HAVE_AVX2 1
#include <immintrin.h>
#endif

namespace {

constexpr unsigned char kLeadByteMin = 0x80;  // a byte from here on starts a GBK pair
constexpr std::size_t kNone = std::string_view::npos;

constexpr bool IsAsciiLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

constexpr std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) {
    table[c] = static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c);
  }
  return table;
}
constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

// How often a byte turns up in a web page, roughly, from 1 (rare) to 6. Besides the marker's
// first and last byte the filter tests its rarest inner byte, so that markup which repeats the
// marker's outer bytes (tags, indentation) seldom reaches the full comparison.
constexpr std::array<unsigned char, 256> MakeCommonnessTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) {
    const auto byte = static_cast<unsigned char>(c);
    unsigned char rank = 2;
    if (byte >= kLeadByteMin) {
      rank = 1;  // one value among the many that GBK text spreads over
    } else if (byte == ' ' || byte == '\r' || byte == '\n' || byte == '\t') {
      rank = 6;
    } else if (byte == '<' || byte == '>' || byte == '/' || byte == '"' || byte == '=') {
      rank = 5;
    } else if (IsAsciiLetter(byte)) {
      rank = std::string_view("etaoinsrlcdhp").find(static_cast<char>(c | 0x20)) != std::string_view::npos
                 ? 4
                 : 3;
    } else if (byte >= '0' && byte <= '9') {
      rank = 3;
    }
    table[c] = rank;
  }
  return table;
}
constexpr std::array<unsigned char, 256> kCommonness = MakeCommonnessTable();

#if defined(__SSE2__)
// The bytes with A-Z turned into a-z, 16 at a time.
__m128i FoldBlock(__m128i bytes) {
  // Shifted so that 'A'..'Z' land on the 26 smallest signed values.
  const __m128i shifted = _mm_add_epi8(bytes, _mm_set1_epi8(static_cast<char>(0x80 - 'A')));
  const __m128i upper = _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(0x80 + 26)));
  return _mm_or_si128(bytes, _mm_and_si128(upper, _mm_set1_epi8(0x20)));
}

// Whether the 16 bytes at `at` and at `marker` agree in their first `size` bytes.
bool SameBlock(const unsigned char* at, const unsigned char* marker, bool caseSensitive, unsigned size = 16) {
  __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(marker));
  if (!caseSensitive) {
    a = FoldBlock(a);
    b = FoldBlock(b);
  }
  const auto differ = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b)));
  return (differ & ((1u << size) - 1)) == 0;
}
#endif

// `head` holds the marker's first bytes padded to 16, so that a short marker is compared in one
// block wherever 16 bytes of text are left.
bool SameBytes(const unsigned char* at, std::size_t left, const unsigned char* marker,
               const unsigned char* head, std::size_t size, bool caseSensitive) {
#if defined(__SSE2__)
  if (size < 16 && left >= 16) return SameBlock(at, head, caseSensitive, static_cast<unsigned>(size));
  // Long markers 16 bytes at a time, the last block overlapping the one before.
  if (size >= 16) {
    for (std::size_t i = 0; i + 16 < size; i += 16) {
      if (!SameBlock(at + i, marker + i, caseSensitive)) return false;
    }
    return SameBlock(at + size - 16, marker + size - 16, caseSensitive);
  }
#else
  (void)left;
  (void)head;
#endif
  if (caseSensitive) return std::memcmp(at, marker, size) == 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (kFold[at[i]] != kFold[marker[i]]) return false;
  }
  return true;
}

// Answers whether an index is the first byte of a character, characters counted from the
// search's start. Any byte below 0x80 ends a character (it is a one-byte character or the
// second byte of a pair), and from the byte after it on, bytes of 0x80 and above pair up. So an
// index is resolved by looking back to the nearest byte below 0x80, or to the last index that
// was resolved, whichever is nearer. Indexes must be asked in increasing order; every byte is
// looked back over at most once per search.
class CharStarts {
 public:
  CharStarts(const unsigned char* text, std::size_t from) : text_(text), known_(from) {}

  bool IsStart(std::size_t at) {
    std::size_t base = at;
#if defined(__SSE2__)
    // Chinese text before a match can be long: look back 16 bytes at a time.
    while (base - known_ >= 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text_ + base - 16));
      const unsigned below = ~static_cast<unsigned>(_mm_movemask_epi8(bytes)) & 0xFFFFu;
      if (below != 0) {
        base = base - 16 + static_cast<std::size_t>(std::bit_width(below));
        break;
      }
      base -= 16;
    }
#endif
    while (base > known_ && text_[base - 1] >= kLeadByteMin) --base;
    const bool start = (at - base) % 2 == 0;
    // If `at` is a second byte, the character after it starts at at + 1.
    known_ = start ? at : at + 1;
    return start;
  }

 private:
  const unsigned char* text_;
  std::size_t known_;  // an index known to start a character, at or after the search start
};

using FilterBytes = MarkerSearch::FilterByte[3];

// The full test of a candidate index that passed the block filter.
struct Candidates {
  const unsigned char* text;
  std::size_t textSize;
  const unsigned char* marker;
  const unsigned char* head;
  std::size_t markerSize;
  bool caseSensitive;
  CharStarts starts;

  bool Accept(std::size_t at) {
    return SameBytes(text + at, textSize - at, marker, head, markerSize, caseSensitive) && starts.IsStart(at);
  }
};

// A candidate is an index at which the marker's first, rarest inner and last byte stand in the
// text. A block scan tests 64 indexes per step, from `i` on, and stops at the first block that
// holds a candidate: it returns their bits (bit k for index i + k) with `i` at that block, or 0
// with `i` at the first index it did not test (too near the end for a whole block). It calls
// nothing, so its constants stay in registers; candidates are rare and handled by the caller.
constexpr std::size_t kBlock = 64;
using BlockScan = std::uint64_t (*)(const unsigned char* text, std::size_t size, const FilterBytes& filter,
                                    std::size_t& i);

#if defined(__SSE2__)
std::uint64_t ScanBlocksSse2(const unsigned char* t, std::size_t n, const FilterBytes& filter,
                             std::size_t& i) {
  const std::size_t innerOffset = filter[1].offset, lastOffset = filter[2].offset;
  const __m128i firstOr = _mm_set1_epi8(static_cast<char>(filter[0].orMask));
  const __m128i firstWant = _mm_set1_epi8(static_cast<char>(filter[0].want));
  const __m128i innerOr = _mm_set1_epi8(static_cast<char>(filter[1].orMask));
  const __m128i innerWant = _mm_set1_epi8(static_cast<char>(filter[1].want));
  const __m128i lastOr = _mm_set1_epi8(static_cast<char>(filter[2].orMask));
  const __m128i lastWant = _mm_set1_epi8(static_cast<char>(filter[2].want));
  const auto matches = [](const unsigned char* at, __m128i orMask, __m128i want) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return _mm_cmpeq_epi8(_mm_or_si128(bytes, orMask), want);
  };
  const auto hits = [&](const unsigned char* at) {
    return _mm_and_si128(
        _mm_and_si128(matches(at, firstOr, firstWant), matches(at + lastOffset, lastOr, lastWant)),
        matches(at + innerOffset, innerOr, innerWant));
  };
  // Every index of a block leaves room for the whole marker.
  for (; n - i >= lastOffset + kBlock; i += kBlock) {
    const unsigned char* const at = t + i;
    const __m128i h0 = hits(at), h1 = hits(at + 16), h2 = hits(at + 32), h3 = hits(at + 48);
    const __m128i any = _mm_or_si128(_mm_or_si128(h0, h1), _mm_or_si128(h2, h3));
    if (_mm_movemask_epi8(any) == 0) continue;
    const auto bits = [](__m128i h) {
      return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(h)));
    };
    return bits(h0) | bits(h1) << 16 | bits(h2) << 32 | bits(h3) << 48;
  }
  return 0;
}
#endif

#if defined(QORVELLA_HAVE_AVX2)
bool CpuHasAvx2() {
  __builtin_cpu_init();  // may run before the library's own constructors
  return __builtin_cpu_supports("avx2");
}

__attribute__((target("avx2"), always_inline)) inline __m256i MatchesAvx2(const unsigned char* at,
                                                                          __m256i orMask, __m256i want) {
  const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  return _mm256_cmpeq_epi8(_mm256_or_si256(bytes, orMask), want);
}

__attribute__((target("avx2"))) std::uint64_t ScanBlocksAvx2(const unsigned char* t, std::size_t n,
                                                             const FilterBytes& filter, std::size_t& i) {
  const std::size_t innerOffset = filter[1].offset, lastOffset = filter[2].offset;
  const __m256i firstOr = _mm256_set1_epi8(static_cast<char>(filter[0].orMask));
  const __m256i firstWant = _mm256_set1_epi8(static_cast<char>(filter[0].want));
  const __m256i innerOr = _mm256_set1_epi8(static_cast<char>(filter[1].orMask));
  const __m256i innerWant = _mm256_set1_epi8(static_cast<char>(filter[1].want));
  const __m256i lastOr = _mm256_set1_epi8(static_cast<char>(filter[2].orMask));
  const __m256i lastWant = _mm256_set1_epi8(static_cast<char>(filter[2].want));
  for (; n - i >= lastOffset + kBlock; i += kBlock) {
    const unsigned char* const low = t + i;
    const unsigned char* const high = low + 32;
    const __m256i h0 = _mm256_and_si256(_mm256_and_si256(MatchesAvx2(low, firstOr, firstWant),
                                                         MatchesAvx2(low + lastOffset, lastOr, lastWant)),
                                        MatchesAvx2(low + innerOffset, innerOr, innerWant));
    const __m256i h1 = _mm256_and_si256(_mm256_and_si256(MatchesAvx2(high, firstOr, firstWant),
                                                         MatchesAvx2(high + lastOffset, lastOr, lastWant)),
                                        MatchesAvx2(high + innerOffset, innerOr, innerWant));
    const __m256i any = _mm256_or_si256(h0, h1);
    if (_mm256_testz_si256(any, any)) continue;
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(h0)) |
           static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(h1))) << 32;
  }
  return 0;
}
#endif

BlockScan ChooseBlockScan(MarkerScanLevel level) {
  if (level == MarkerScanLevel::kByteByByte) return nullptr;
#if defined(QORVELLA_HAVE_AVX2)
  if (level == MarkerScanLevel::kWidest && CpuHasAvx2()) return ScanBlocksAvx2;
#endif
#if defined(__SSE2__)
  return ScanBlocksSse2;
#else
  return nullptr;
#endif
}

std::atomic<BlockScan> blockScan{ChooseBlockScan(MarkerScanLevel::kWidest)};

}  // namespace

MarkerSearch::MarkerSearch(std::string_view marker, bool caseSensitive)
    : marker_(marker), caseSensitive_(caseSensitive) {
  if (marker.empty()) return;
  std::memcpy(head_, marker.data(), std::min(marker.size(), sizeof head_));
  std::size_t rarest = 0;
  for (std::size_t i = 1; i + 1 < marker.size(); ++i) {
    if (rarest == 0 || kCommonness[static_cast<unsigned char>(marker[i])] <
                           kCommonness[static_cast<unsigned char>(marker[rarest])]) {
      rarest = i;
    }
  }
  filter_[0] = MakeFilterByte(0);
  filter_[1] = MakeFilterByte(rarest);
  filter_[2] = MakeFilterByte(marker.size() - 1);
}

// For a letter searched case-insensitively the 0x20 bit is forced on both sides, which matches
// exactly its two cases; every other byte is compared as it is.
MarkerSearch::FilterByte MarkerSearch::MakeFilterByte(std::size_t offset) const {
  const auto c = static_cast<unsigned char>(marker_[offset]);
  if (!caseSensitive_ && IsAsciiLetter(c)) return {offset, 0x20, static_cast<unsigned char>(c | 0x20)};
  return {offset, 0, c};
}

std::size_t MarkerSearch::FindIn(std::string_view text, std::size_t from) const {
  const std::size_t n = text.size();
  const std::size_t m = marker_.size();
  if (m == 0 || from >= n || n - from < m) return kNone;

  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  Candidates candidates{t,
                        n,
                        reinterpret_cast<const unsigned char*>(marker_.data()),
                        head_,
                        m,
                        caseSensitive_,
                        CharStarts(t, from)};
  std::size_t i = from;
  const BlockScan scanBlocks = blockScan.load(std::memory_order_relaxed);
  if (scanBlocks != nullptr) {
    while (const std::uint64_t hits = scanBlocks(candidates.text, n, filter_, i)) {
      for (std::uint64_t rest = hits; rest != 0; rest &= rest - 1) {
        const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(rest));
        if (candidates.Accept(at)) return at;
      }
      i += kBlock;
    }
  }
  // The last candidates, too near the end for a whole block.
  const FilterByte& first = filter_[0];
  const FilterByte& last = filter_[2];
  for (; n - i >= m; ++i) {
    if ((t[i] | first.orMask) != first.want || (t[i + last.offset] | last.orMask) != last.want) continue;
    if (candidates.Accept(i)) return i;
  }
  return kNone;
}

void SetMarkerScanLevel(MarkerScanLevel level) {
  blockScan.store(ChooseBlockScan(level));
}

std::size_t FindMarker(std::string_view text, std::string_view marker, std::size_t from, bool caseSensitive) {
  return MarkerSearch(marker, caseSensitive).FindIn(text, from);
}
