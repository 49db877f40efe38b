// Cutting the films out of one listing page of the catalogue site.
#pragma once

#include <string_view>

#include "text/text.h"

// The three fields of a listing page, each in page order.
struct ListingFields {
  TextArray titles;
  TextArray dates;
  TextArray addresses;
};

// Refills `fields` from `page`; the arrays keep their storage from page to page.
void CutListingPage(std::string_view page, ListingFields& fields);

// The number of rows the page gives: 0 when its titles and dates differ in number, else the
// complete rows (all three fields present), at most ten.
int ListingRowCount(const ListingFields& fields);

// The address of page 1 to 10 of a category: the category path itself for page 1, then
// "index_2.htm" to "index_10.htm" behind it, on the catalogue site.
Text ListingPageAddress(std::string_view categoryPath, int page);
