// MainWindow's own handlers: the "Setup" font and the busy indicator in the banner.
//
// The indicator's frame timer shows one glyph of "Setup" at a time in 标签1, U+E052 up to
// the blank U+E0CB, 30 ms apart; after the sweep the label shows " " while the pause timer
// runs 250 ms, then the next sweep begins.
#pragma once

#include "platform/toolkit/fonts.h"

// The code point of the next frame, 0xE052 to 0xE0CB between ticks.
extern int BusyGlyph;
// The "Setup" font once added to the process; 0 when that failed.
extern FontHandle SetupFontHandle;

// MainWindow created: adds the font, starts the sweep at U+E052, gives 标签1 the face "Setup".
void MainWindowCreated();
// MainWindow about to be destroyed: removes the font.
void MainWindowDestroying();
// 时钟1: shows the next frame; after the last one starts the pause.
void FrameTimerTick();
// 时钟2: ends the pause.
void PauseTimerTick();
