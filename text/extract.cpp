#include "text/extract.h"

#include <cstddef>

#include "text/find_marker.h"
#include "text/text_ops.h"

namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// Callers write a double quote inside a marker of ExtractBetween as this placeholder.
constexpr std::string_view kQuotePlaceholder = "#引号";

std::size_t StartIndex(int start) {
  return start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
}

}  // namespace

// An empty marker, like any marker that does not occur, is never found (FindMarker's rule), so it
// gives the empty text here and ends the collection of ExtractAllBetween at once; no marker the
// program uses is empty.
Text ExtractBetween(std::string_view source, std::string_view left, std::string_view right, int start,
                    bool caseSensitive) {
  const Text leftMarker = ReplaceAll(left, kQuotePlaceholder, "\"");
  const Text rightMarker = ReplaceAll(right, kQuotePlaceholder, "\"");
  const std::size_t p = FindMarker(source, leftMarker, StartIndex(start), caseSensitive);
  if (p == kNotFound) return {};
  const std::size_t q = p + leftMarker.size();
  const std::size_t r = FindMarker(source, rightMarker, q, caseSensitive);
  if (r == kNotFound) return {};
  return Text(source.substr(q, r - q));
}

int ExtractAllBetween(std::string_view source, std::string_view left, std::string_view right,
                      TextArray& result, bool caseSensitive, int maxLength, std::string_view prefix,
                      std::string_view suffix, bool keepLeft, bool keepRight, int start) {
  // The earlier texts are discarded, but their storage is reused for the new ones, as the
  // category loader refills the same arrays page after page; so no argument may view into
  // `result`.
  //
  // Every search starts where the previous one stopped and never goes back, so the whole
  // collection reads the source about once. The next left marker is searched from the first
  // byte of the right marker just used, so a right marker may also serve as the next left one;
  // the position still moves forward by at least the left marker's length per element.
  const MarkerSearch leftSearch(left, caseSensitive);
  const MarkerSearch rightSearch(right, caseSensitive);
  std::size_t count = 0;
  std::size_t from = StartIndex(start);
  while (true) {
    const std::size_t p = leftSearch.FindIn(source, from);
    if (p == kNotFound) break;
    const std::size_t q = p + left.size();
    const std::size_t r = rightSearch.FindIn(source, q);
    if (r == kNotFound) break;
    const std::string_view found = TrimBlanksView(source.substr(q, r - q));
    if (found.empty()) break;
    // Any limit other than 0 applies as written, so a negative one ends the collection at once.
    if (maxLength != 0 && static_cast<long long>(found.size()) > maxLength) break;

    Text& element = count < result.size() ? result[count] : result.emplace_back();
    element.clear();
    if (keepLeft) element.append(left);
    element.append(prefix).append(found).append(suffix);
    if (keepRight) element.append(right);
    ++count;
    from = r;
  }
  result.resize(count);
  return static_cast<int>(count);
}
