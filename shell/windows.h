// The program's four windows as designs: every window property and every control with its
// name, kind, parent, place, size, initial content, colours, font, flags and event binding.
#pragma once

#include "platform/toolkit/design.h"
#include "platform/toolkit/toolkit.h"

extern const WindowDesign MainWindowDesign;
extern const WindowDesign FilmPlayWindowDesign;
extern const WindowDesign CloudLinkWindowDesign;
extern const WindowDesign CloudPlayerWindowDesign;

// The controls that the handlers address.
inline constexpr ControlRef FilmList{"MainWindow", "超级列表框1"};
inline constexpr ControlRef BusyGlyphLabel{"MainWindow", "标签1"};
inline constexpr ControlRef BusyTextLabel{"MainWindow", "标签2"};
inline constexpr ControlRef FrameTimer{"MainWindow", "时钟1"};
inline constexpr ControlRef PauseTimer{"MainWindow", "时钟2"};
inline constexpr ControlRef FilmBrowser{"FilmPlayWindow", "互联网浏览器1"};
inline constexpr ControlRef DownloadLinksEdit{"FilmPlayWindow", "编辑框2"};
inline constexpr ControlRef CloudLinkEdit{"CloudLinkWindow", "编辑框1"};
inline constexpr ControlRef CloudPlayerView{"CloudPlayerWindow", "播放器"};
