// The film page: FilmPlayWindow, opened from MainWindow's film list.
#pragma once

// Double-click handler of 超级列表框1.
void FilmListDoubleClicked();
// FilmPlayWindow's created handler.
void FilmPlayWindowCreated();
