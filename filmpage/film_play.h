// The film page: FilmPlayWindow, opened from MainWindow's film list, with the film's
// download links.
#pragma once

// Double-click handler of 超级列表框1: opens FilmPlayWindow when a row is selected.
void FilmListDoubleClicked();
// FilmPlayWindow's created handler: the player page, the film title as caption, the links.
void FilmPlayWindowCreated();

// Fetches the selected film's page and appends one line per link of its download section
// to 编辑框2; with no links there, falls back to FindThunderLink.
void ShowDownloadLinks();
// Looks for a thunder:// link, then a fast-transfer link, on the film page or on the download
// page it links to, and writes what it finds (or "没有找到下载资源地址") to 编辑框2.
void FindThunderLink();
