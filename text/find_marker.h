// The one marker search under FindText and the extraction routines, on 0-based indexes.
#pragma once

#include <cstddef>
#include <string_view>

// A marker prepared for searching, once for any number of searches (ExtractAllBetween looks for
// the same two markers once per element). It keeps a view of the marker, which must outlive it.
class MarkerSearch {
 public:
  MarkerSearch(std::string_view marker, bool caseSensitive);

  // Index of the first marker in `text` at or after index `from`, or std::string_view::npos.
  // Characters are counted from `from`: a byte of 0x80 or above and the byte after it are one
  // character, and a match never starts on that second byte. Case-insensitive folds only
  // A-Z/a-z. An empty marker is never found. Reads the text from `from` up to a little past the
  // match (or to the end) once, so a caller that moves `from` forward stays linear.
  std::size_t FindIn(std::string_view text, std::size_t from) const;

  // A byte of the marker as the block filter compares it: (byte | orMask) == want.
  struct FilterByte {
    std::size_t offset = 0;
    unsigned char orMask = 0;
    unsigned char want = 0;
  };

 private:
  FilterByte MakeFilterByte(std::size_t offset) const;

  std::string_view marker_;
  bool caseSensitive_;
  FilterByte filter_[3];         // the first, the rarest inner and the last byte
  unsigned char head_[16] = {};  // the first bytes, zero-padded
};

// Which block filter FindIn uses to find candidates: by default the widest that the processor
// offers. A seam for tests, which cover each level; set it only while no search runs.
enum class MarkerScanLevel { kWidest, kSse2, kByteByByte };
void SetMarkerScanLevel(MarkerScanLevel level);

// MarkerSearch(marker, caseSensitive).FindIn(text, from).
std::size_t FindMarker(std::string_view text, std::string_view marker, std::size_t from, bool caseSensitive);
