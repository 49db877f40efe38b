// A window's design as data: the window's own properties and one record per control, from
// which the toolkit builds the window. Qt-free; names, captions and fonts are GBK texts.
#pragma once

#include <optional>
#include <span>

#include "resources/resources.h"

// An event handler of the program: a plain routine without arguments.
using Handler = void (*)();

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Face name and character height in pixels (the height without internal leading). An empty
// face means the system's default face; a height of 0 means the system's default font.
struct FontDesign {
  const char* face = "";
  int height = 0;
};

enum class ControlKind {
  Label,
  PictureBox,
  Canvas,
  ReportList,
  OwnerDrawnButton,
  Timer,
  HtmlView,
  WebBrowser,
  EditBox,
};

enum class Alignment { Left, Centre };

// How a picture box shows its picture.
enum class PictureMode {
  TopLeft = 0,        // at its own size in the top-left corner
  Stretched = 1,      // stretched to the whole box
  CentredFitted = 2,  // centred at its own size, scaled down (proportions kept) when larger
};

enum class FrameStyle { None, ThinLine, ThinSunken };

struct ColumnDesign {
  const char* heading = "";
  int width = 0;
  Alignment alignment = Alignment::Left;
};

// Properties of a report list view beyond its columns.
struct ListDesign {
  bool headings = true;
  bool clickableHeadings = false;
  bool sorted = false;
  bool singleSelection = true;
  bool fullRowSelect = true;
  bool gridLines = true;
  bool keepSelectionVisible = false;
  bool checkBoxes = false;
  bool labelEditing = false;
  bool hotTracking = false;
  bool headingDragDrop = false;
  std::span<const ColumnDesign> columns;
};

// Properties of an HTML view or web browser control.
struct BrowserDesign {
  int zoom = 2;  // text zoom level, 0 smallest to 4 largest
  bool silent = false;
  bool offline = false;
  bool dropTarget = false;
  bool registerAsBrowser = false;
};

// Properties of an edit box.
struct EditDesign {
  bool multiLine = false;
  bool readOnly = false;
  bool verticalScrollBar = false;
  bool horizontalScroll = false;
  int maxLength = 0;  // 0: no limit
};

struct ControlDesign {
  const char* name = "";
  ControlKind kind = ControlKind::Label;
  const char* parent = nullptr;  // another control's name; nullptr: the window
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  // Caption of a label or button, content of an edit box, start address of an HTML view.
  const char* text = "";
  const ResourceImage* picture = nullptr;
  PictureMode pictureMode = PictureMode::TopLeft;
  std::optional<Rgb> textColour;     // empty: the system's colour
  std::optional<Rgb> background;     // empty: the system's colour
  std::optional<Rgb> hotBackground;  // owner-drawn button, mouse over or pressed
  FontDesign font;
  bool hidden = false;
  FrameStyle frame = FrameStyle::None;
  Alignment alignment = Alignment::Left;
  int period = 0;  // timer, milliseconds; 0: stopped
  ListDesign list;
  BrowserDesign browser;
  EditDesign edit;
  Handler onClick = nullptr;
  Handler onDoubleClick = nullptr;
  Handler onTimer = nullptr;
};

struct WindowDesign {
  const char* name = "";  // the window's plain name, e.g. "MainWindow"
  int width = 0;          // outer size, frame and caption included
  int height = 0;
  const char* caption = "";
  bool fixedFrame = true;
  bool closeBox = true;
  bool minimiseBox = true;
  bool maximiseBox = false;
  bool centred = true;
  bool movable = true;
  bool escCloses = true;
  bool inTaskbar = true;
  bool alwaysOnTop = false;
  bool dragByClientArea = false;
  int designX = 50;  // not used: every window opens centred
  int designY = 50;
  std::optional<Rgb> background;
  const ResourceImage* icon = nullptr;
  std::span<const ControlDesign> controls;
  Handler onCreated = nullptr;
  Handler onDestroying = nullptr;
};
