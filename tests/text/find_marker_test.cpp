// The fast marker search against a plain character-by-character search on random GBK-like
// texts, plus the inputs that would make a careless boundary check slow.
#include "text/find_marker.h"

#include <gtest/gtest.h>

#include <ctime>
#include <random>
#include <string>
#include <string_view>

#include "text/text_ops.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;

unsigned char Fold(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

// The search step as written down: from `from`, compare, then step one character (two bytes
// from a byte of 0x80 or above) until the marker no longer fits.
std::size_t PlainFind(std::string_view text, std::string_view marker, std::size_t from, bool caseSensitive) {
  if (marker.empty()) return kNone;
  for (std::size_t pos = from; pos < text.size() && text.size() - pos >= marker.size();
       pos += static_cast<unsigned char>(text[pos]) >= 0x80 ? 2 : 1) {
    bool same = true;
    for (std::size_t i = 0; i < marker.size() && same; ++i) {
      const auto a = static_cast<unsigned char>(text[pos + i]);
      const auto b = static_cast<unsigned char>(marker[i]);
      same = caseSensitive ? a == b : Fold(a) == Fold(b);
    }
    if (same) return pos;
  }
  return kNone;
}

// Few distinct bytes, so that markers recur often and at both parities: lead bytes (0xA1 also
// as half of the ideographic space), letters (which also stand as second bytes), pairs that
// differ only in the 0x20 bit without being letters (next to A-Z and a-z), and the markup bytes of a page.
// Some texts are made of long runs of bytes of 0x80 and above between short runs of ASCII, like Chinese text
// in markup.
std::string RandomText(std::mt19937& rng, std::size_t size) {
  static constexpr std::string_view kBytes = "aAzZ@`[{<\" \r\xA1\xB0\xC1\xE1\xFE\x81";
  static constexpr std::string_view kHigh = "\xA1\xB0\xC1\xE1\xFE\x81";
  std::uniform_int_distribution<std::size_t> pick(0, kBytes.size() - 1);
  std::uniform_int_distribution<std::size_t> pickHigh(0, kHigh.size() - 1);
  std::uniform_int_distribution<int> runs(0, 3);
  std::string text(size, ' ');
  if (runs(rng) != 0) {
    for (char& c : text) c = kBytes[pick(rng)];
    return text;
  }
  std::uniform_int_distribution<std::size_t> runLength(0, 70);
  for (std::size_t i = 0; i < size;) {
    for (std::size_t n = runLength(rng); n > 0 && i < size; --n) text[i++] = kHigh[pickHigh(rng)];
    for (std::size_t n = runLength(rng) % 4; n > 0 && i < size; --n) text[i++] = kBytes[pick(rng) % 10];
  }
  return text;
}

std::string LevelName(const testing::TestParamInfo<MarkerScanLevel>& info) {
  switch (info.param) {
    case MarkerScanLevel::kWidest:
      return "Widest";
    case MarkerScanLevel::kSse2:
      return "Sse2";
    case MarkerScanLevel::kByteByByte:
      return "ByteByByte";
  }
  return "Unknown";
}

class FindMarkerAtEachLevel : public testing::TestWithParam<MarkerScanLevel> {
 protected:
  void SetUp() override { SetMarkerScanLevel(GetParam()); }
  void TearDown() override { SetMarkerScanLevel(MarkerScanLevel::kWidest); }
};

INSTANTIATE_TEST_SUITE_P(Levels, FindMarkerAtEachLevel,
                         testing::Values(MarkerScanLevel::kWidest, MarkerScanLevel::kSse2,
                                         MarkerScanLevel::kByteByByte),
                         LevelName);

TEST_P(FindMarkerAtEachLevel, AgreesWithThePlainSearchOnRandomTexts) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<std::size_t> textSize(0, 300);
  std::uniform_int_distribution<int> coin(0, 1);
  for (int round = 0; round < 40000; ++round) {
    const std::string text = RandomText(rng, round % 50 == 0 ? 3000 : textSize(rng));
    // Markers are mostly cut out of the text (found somewhere, often off the character grid),
    // with letters flipped in case; some are random. Lengths reach past one 16-byte block.
    std::uniform_int_distribution<std::size_t> markerSize(1, 40);
    std::string marker = RandomText(rng, markerSize(rng));
    if (coin(rng) == 1 && !text.empty()) {
      std::uniform_int_distribution<std::size_t> at(0, text.size() - 1);
      const std::size_t from = at(rng);
      marker = text.substr(from, std::min(marker.size(), text.size() - from));
      for (char& c : marker) {
        if (coin(rng) == 1 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c ^= 0x20;
      }
    }
    std::uniform_int_distribution<std::size_t> start(0, text.size() + 1);
    const std::size_t from = start(rng);
    const bool caseSensitive = coin(rng) == 1;
    const std::size_t expected = PlainFind(text, marker, from, caseSensitive);
    const std::size_t found = FindMarker(text, marker, from, caseSensitive);
    if (found != expected) {
      ADD_FAILURE() << "round " << round << ", text size " << text.size() << ", marker size " << marker.size()
                    << ", from " << from << ", case-sensitive " << caseSensitive << ": found " << found
                    << ", expected " << expected;
      break;
    }
  }
}

TEST_P(FindMarkerAtEachLevel, FoldsExactlyTheAsciiLettersAtEveryByte) {
  // Byte b of the marker against byte c of the text, at a place that the candidate filter does
  // not test (the filter takes the first, the last and the first of the rarest inner bytes), in
  // a short and a long marker, with room after the match for whole 16-byte comparisons.
  for (const std::size_t tail : {std::size_t{1}, std::size_t{20}}) {
    for (int b = 1; b < 256; ++b) {
      for (int c = 1; c < 256; ++c) {
        const std::string rest = std::string(tail - 1, 'x') + ">";
        const std::string marker = "<啊" + std::string(1, static_cast<char>(b)) + rest;
        const std::string text = "<啊" + std::string(1, static_cast<char>(c)) + rest + std::string(20, ' ');
        const bool same = Fold(static_cast<unsigned char>(b)) == Fold(static_cast<unsigned char>(c));
        if (FindMarker(text, marker, 0, false) != (same ? 0 : kNone) ||
            FindMarker(text, marker, 0, true) != (b == c ? 0 : kNone)) {
          ADD_FAILURE() << "marker byte " << b << ", text byte " << c << ", marker size " << marker.size();
          return;
        }
      }
    }
  }
}

TEST_P(FindMarkerAtEachLevel, StaysLinearOnLongRunsOfTwoByteCharacters) {
  // A marker that matches at every second byte of a long run of two-byte characters, always
  // on a second byte: each of the million matches must be rejected without rereading the run.
  std::string text;
  for (int i = 0; i < (1 << 20); ++i) text += "啊";  // B0 A1
  const std::string offGrid = text.substr(1, 2);     // the bytes where two of them meet
  const std::size_t runEnd = text.size();
  text += "x" + offGrid;

  const std::clock_t begin = std::clock();
  EXPECT_EQ(FindMarker(text, offGrid, 0, true), runEnd + 1);
  EXPECT_EQ(FindMarker(text, offGrid, 1, true), 1u);  // counted from 1, the pair is a character
  EXPECT_LT(std::clock() - begin, 20 * CLOCKS_PER_SEC);
}

TEST_P(FindMarkerAtEachLevel, FindsLongMarkersCaseInsensitivelyAtTheVeryEnd) {
  const std::string marker = "</p>\r\n              <P>时间：";
  for (std::size_t padding = 0; padding < 40; ++padding) {
    SCOPED_TRACE(padding);
    const std::string text = std::string(padding, 'x') + "</P>\r\n              <p>时间：";
    EXPECT_EQ(FindMarker(text, marker, 0, false), padding);
    EXPECT_EQ(FindMarker(text, marker, 0, true), kNone);
    EXPECT_EQ(FindMarker(text.substr(0, text.size() - 1), marker, 0, false), kNone);
  }
}

}  // namespace
