#include "catalogue/catalogue.h"

#include <atomic>
#include <cstdint>
#include <string>

#include "catalogue/listing_page.h"
#include "platform/toolkit/toolkit.h"
#include "shell/windows.h"
#include "web/http_request.h"

namespace {

constexpr int kListingPages = 10;
// Pages whose failure ends the load with a message; later pages are skipped silently.
constexpr int kPagesThatMustParse = 3;

// The number of the newest load. A click takes the next number on the GUI thread; a worker
// whose number is no longer the newest stops. Loads are checked again on the GUI thread, in
// the same call as their list operation, so that no row of a superseded load lands after the
// newer load has emptied the list.
std::atomic<std::uint64_t> g_newestLoad{0};

bool IsNewest(std::uint64_t load) {
  return g_newestLoad.load() == load;
}

// Runs `operation` on the GUI thread if `load` is still the newest there; false otherwise.
template <typename F>
bool IfNewest(std::uint64_t load, F&& operation) {
  bool ran = false;
  RunOnGuiThread([&] {
    if (!IsNewest(load) || !IsWindowOpen("MainWindow")) return;
    operation();
    ran = true;
  });
  return ran;
}

void RunLoad(const Text& categoryPath, std::uint64_t load) {
  if (!IfNewest(load, [] { DeleteAllRows(FilmList); })) return;
  ListingFields fields;
  for (int page = 1; page <= kListingPages; ++page) {
    if (!IsNewest(load)) return;
    Text text = HttpRequest(ListingPageAddress(categoryPath, page));
    CutListingPage(text, fields);
    int rows = ListingRowCount(fields);
    if (rows == 0 && page <= kPagesThatMustParse) {
      // The message box waits for the user; the labels stay shown after it.
      if (IsNewest(load)) ShowMessageBox("获取最新电影失败");
      return;
    }
    if (!IfNewest(load, [&] { AppendFilmRows(fields, rows); })) return;
  }
  IfNewest(load, [] {
    SetVisible(BusyGlyphLabel, false);
    SetVisible(BusyTextLabel, false);
  });
}

void StartLoad(std::string_view categoryPath) {
  SetVisible(BusyGlyphLabel, true);
  SetVisible(BusyTextLabel, true);
  std::uint64_t load = ++g_newestLoad;
  StartWorker([path = Text(categoryPath), load] { RunLoad(path, load); });
}

}  // namespace

void AppendFilmRows(const ListingFields& fields, int rows) {
  for (int i = 0; i < rows; ++i) {
    int row = InsertRow(FilmList);
    SetCell(FilmList, row, 0, fields.titles[i]);
    SetCell(FilmList, row, 1, fields.dates[i]);
    SetCell(FilmList, row, 2, fields.addresses[i]);
  }
}

void CategoryLatestClicked() {
  StartLoad("/ys/");
}
void CategoryBdClicked() {
  StartLoad("/bd/");
}
void Category3dClicked() {
  StartLoad("/3ddy/");
}

void LoadCategory(std::string_view categoryPath) {
  RunLoad(Text(categoryPath), ++g_newestLoad);
}

void StopCategoryLoads() {
  ++g_newestLoad;
}
