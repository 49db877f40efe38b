// The film catalogue: the three category buttons of MainWindow and the loader they start.
#pragma once

#include <string_view>

#include "catalogue/listing_page.h"

// Click handlers of 超级按钮_最新电影, 超级按钮_BD高清 and 超级按钮_3D: show the busy labels and
// start a worker that loads the category. A newer load supersedes any load still running.
void CategoryLatestClicked();
void CategoryBdClicked();
void Category3dClicked();

// Fills the film list with the films of the ten listing pages of `categoryPath` ("/bd/"),
// ten rows per accepted page. Runs on a worker thread; stops as soon as a newer load has begun
// or MainWindow has gone.
void LoadCategory(std::string_view categoryPath);

// Makes every running load stop before its next fetch or list operation (MainWindow going).
void StopCategoryLoads();

// Appends the first `rows` entries of `fields` to the film list as rows: title, date, address.
void AppendFilmRows(const ListingFields& fields, int rows);
