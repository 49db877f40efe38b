#include "catalogue/listing_page.h"

#include <algorithm>
#include <string>

#include "shell/hosts.h"
#include "text/extract.h"

namespace {

// The markup around each field of a listing entry, byte for byte (CR LF and the runs of spaces
// are part of the markers; the date's right marker ends in a lone CR).
constexpr std::string_view kTitleLeft = ".gif'\" alt=\"";
constexpr std::string_view kTitleRight = "\"";
constexpr std::string_view kDateLeft = "</p>\r\n              <P>时间：";
constexpr std::string_view kDateRight = "</p>\r\n            </div>\r\n          </li>\r";
constexpr std::string_view kAddressLeft = "            <div class=\"listimg\"> <a href=\"";
constexpr std::string_view kAddressRight = "\" target=\"_blank\"><img src=\"";

constexpr int kRowsPerPage = 10;

}  // namespace

void CutListingPage(std::string_view page, ListingFields& fields) {
  ExtractAllBetween(page, kTitleLeft, kTitleRight, fields.titles);
  ExtractAllBetween(page, kDateLeft, kDateRight, fields.dates);
  ExtractAllBetween(page, kAddressLeft, kAddressRight, fields.addresses);
}

int ListingRowCount(const ListingFields& fields) {
  if (fields.titles.size() != fields.dates.size()) return 0;
  size_t complete = std::min({fields.titles.size(), fields.dates.size(), fields.addresses.size()});
  return static_cast<int>(std::min<size_t>(complete, kRowsPerPage));
}

Text ListingPageAddress(std::string_view categoryPath, int page) {
  Text address = CatalogueSite;
  address += categoryPath;
  if (page > 1) address += "index_" + std::to_string(page) + ".htm";
  return address;
}
