#include "filmpage/film_play.h"

#include <string>

#include "platform/toolkit/toolkit.h"
#include "shell/hosts.h"
#include "shell/program.h"
#include "shell/windows.h"
#include "text/extract.h"
#include "text/text_ops.h"
#include "web/http_request.h"

namespace {

constexpr int kTitleColumn = 0;
constexpr int kAddressColumn = 2;

// The selected film's cell in `column`; empty when no row is selected.
Text SelectedCell(int column) {
  return Cell(FilmList, SelectedRow(FilmList), column);
}

}  // namespace

void FilmListDoubleClicked() {
  if (SelectedRow(FilmList) == -1) return;
  OpenWindow(FilmPlayWindowDesign);
}

void FilmPlayWindowCreated() {
  Navigate(FilmBrowser, Text(AdServer) + "/ads/bfq.htm");
  SetWindowCaption("FilmPlayWindow", SelectedCell(kTitleColumn));
  ShowDownloadLinks();
}

void ShowDownloadLinks() {
  TextArray links;
  Text page = HttpRequest(SelectedCell(kAddressColumn));
  Text section = ExtractBetween(page, "【下载地址】", "下载帮助");
  int count = ExtractAllBetween(section, "<a href=\"", "\">", links);
  if (count == 0) {
    FindThunderLink();
    return;
  }
  for (int i = 1; i <= count; ++i) {
    AppendEditText(DownloadLinksEdit,
                   "下载地址" + std::to_string(i) + "： " + links[static_cast<size_t>(i) - 1] + "\r\n");
  }
}

void FindThunderLink() {
  SearchedPage = HttpRequest(SelectedCell(kAddressColumn));
  if (ContainsText(SearchedPage, ".htm\">点击进入下载地址</a></td>\r")) {
    DownloadPageAddress =
        ExtractBetween(SearchedPage, "<a target=\"_blank\" href=\"", "\">点击进入下载地址</a></td>");
    SearchedPage = HttpRequest(DownloadPageAddress);
  }
  if (ContainsText(SearchedPage, "thunder://")) {
    FoundLink = ExtractBetween(SearchedPage, "thunder://", "\">");
    SetEditText(DownloadLinksEdit, "下载地址： thunder://" + FoundLink);
    return;
  }
  if (ContainsText(SearchedPage, "迅雷快传")) {
    FoundLink = ExtractBetween(SearchedPage, "<a target=\"_blank\" href=\"", "\">迅雷快传</a></td>\r");
    AppendEditText(DownloadLinksEdit, "该资源为迅雷快传,请手动负责地址在浏览器打开即可下载\r\n" + FoundLink);
    return;
  }
  AppendEditText(DownloadLinksEdit, "没有找到下载资源地址");
}
