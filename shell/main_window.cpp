#include "shell/main_window.h"

#include <string>

#include "catalogue/catalogue.h"
#include "platform/win/wide_char.h"
#include "resources/resources.h"
#include "shell/windows.h"

int BusyGlyph = 0xE052;
FontHandle SetupFontHandle = 0;

namespace {

constexpr int FirstFrame = 0xE052;
constexpr int LastFrame = 0xE0CB;  // draws nothing
constexpr int FramePeriod = 30;
constexpr int PausePeriod = 250;

// The glyph as a text of the ANSI code page; empty when the conversion fails.
Text AnsiGlyph(int codePoint) {
  const char16_t wide[2] = {static_cast<char16_t>(codePoint), u'\0'};
  int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return Text();
  std::string bytes(static_cast<size_t>(size), '\0');
  if (WideCharToMultiByte(CP_ACP, 0, wide, -1, bytes.data(), size, nullptr, nullptr) <= 0) {
    return Text();
  }
  return Text(bytes.c_str());
}

}  // namespace

void MainWindowCreated() {
  unsigned long added = 0;
  SetupFontHandle = AddFontMemResourceEx(SetupFontImage.data(),
                                         static_cast<unsigned long>(SetupFontImage.size()), nullptr, &added);
  BusyGlyph = FirstFrame;
  SetFontFace(BusyGlyphLabel, "Setup");
}

void MainWindowDestroying() {
  // A film list that goes takes its running load with it.
  StopCategoryLoads();
  RemoveFontMemResourceEx(SetupFontHandle);
}

void FrameTimerTick() {
  SetCaption(BusyGlyphLabel, AnsiGlyph(BusyGlyph));
  ++BusyGlyph;
  if (BusyGlyph > LastFrame) {
    BusyGlyph = FirstFrame;
    SetCaption(BusyGlyphLabel, " ");
    SetTimerPeriod(PauseTimer, PausePeriod);
    SetTimerPeriod(FrameTimer, 0);
  }
}

void PauseTimerTick() {
  SetTimerPeriod(FrameTimer, FramePeriod);
  SetTimerPeriod(PauseTimer, 0);
}
