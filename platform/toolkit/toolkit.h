// The GUI operations that the program's handlers use. Qt-free: every text crossing this
// interface is a GBK `Text`; the implementation converts with code page 936.
//
// Windows are addressed by their design name ("MainWindow"), controls by their window's name
// and their own design name. Any operation may be called from a worker thread: it then runs
// on the GUI thread before the call returns. An operation on a window or control that does
// not exist (never opened, or closed since) does nothing and reads as empty, -1 or false.
#pragma once

#include <functional>
#include <string_view>

#include "platform/toolkit/design.h"
#include "text/text.h"

struct ControlRef {
  std::string_view window;
  std::string_view control;
};

// Creates the application (once, on the thread that becomes the GUI thread). Sets what the
// browser engine needs before that: shared GL contexts and, when running as root, no sandbox.
// Substitutes the design font "微软雅黑" by a CJK font that the system has.
void StartToolkit();

// Runs the message loop until the last window of the program has been destroyed; returns 0.
// A termination request (SIGTERM, SIGINT, SIGHUP) closes every window of the program, as
// the end of a desktop session does.
int RunMessageLoop();

// Opens a window from its design, centred, without owner, non-modally, then raises its
// created event. A window of that design that is open already is restored if minimised and
// activated otherwise; nothing is built and the created event does not fire again.
// Returns false when the window could not be created.
bool OpenWindow(const WindowDesign& design);
// Closes a window as its close box does: its about-to-be-destroyed event fires, it goes.
void CloseWindow(std::string_view window);
bool IsWindowOpen(std::string_view window);
void SetWindowCaption(std::string_view window, std::string_view caption);
Text WindowCaption(std::string_view window);

// Label and button captions.
void SetCaption(ControlRef control, std::string_view caption);
Text Caption(ControlRef control);
// Sets the face name of the control's font; height and every other attribute stay.
void SetFontFace(ControlRef control, std::string_view face);
void SetVisible(ControlRef control, bool visible);
bool IsVisible(ControlRef control);

// Timer period in milliseconds: 0 stops the timer, a positive period starts it or restarts
// it, the period it already has changes nothing, a negative one counts as 0.
void SetTimerPeriod(ControlRef timer, int milliseconds);
int TimerPeriod(ControlRef timer);

// Report list view. Rows and columns count from 0.
void DeleteAllRows(ControlRef list);
// Appends a row with empty cells; returns its index, or -1.
int InsertRow(ControlRef list);
void SetCell(ControlRef list, int row, int column, std::string_view text);
Text Cell(ControlRef list, int row, int column);
int RowCount(ControlRef list);
// Index of the first selected row, -1 when none.
int SelectedRow(ControlRef list);
void SelectRow(ControlRef list, int row);

// HTML view and web browser control.
void Navigate(ControlRef browser, std::string_view address);
// True when the browser is not loading: its last navigation (if any) has completed.
bool IsBrowserReady(ControlRef browser);

// Edit boxes. Line breaks are "\r\n" in the program's texts.
void SetEditText(ControlRef edit, std::string_view text);
// Moves the caret to the end, scrolls it into view and inserts `text` there.
void AppendEditText(ControlRef edit, std::string_view text);
Text EditText(ControlRef edit);

// The program's message box: `text`, an OK button only, no owner window, caption "信息：",
// modal for the whole program; returns when the user has closed it. When the environment
// variable QORVELLA_MESSAGE_BOX_AUTOCLOSE_MS holds a number, every message box is also
// written to standard error and closes itself after that many milliseconds (for tests and
// unattended runs).
void ShowMessageBox(std::string_view text);
// A fatal error's message box, under the same rule.
void ShowFatalErrorBox(std::string_view text);

// Opens `address` with the desktop's default handler; returns at once, the result unused.
void ShellOpen(std::string_view address);

// Runs `operation` on the GUI thread and returns once it has run (directly when called there).
// Toolkit operations inside it take effect at once, so a check and the operations it guards
// form one step that no user event and no other thread's operation can come between.
void RunOnGuiThread(const std::function<void()>& operation);

// Starts `work` on a new detached thread; the thread dies with the process.
void StartWorker(std::function<void()> work);

// Test seam for the timers (a clock the test steps): while on, timers do not run by
// themselves; StepTimers advances the timers' clock by `milliseconds`, firing every timer
// that falls due, in time order, on the calling (GUI) thread.
void UseSteppedTimers(bool on);
void StepTimers(int milliseconds);

// When the environment variable QORVELLA_STARTUP_MARK names a file, the first window shown
// writes the wall-clock time of its first paint there, in nanoseconds since the epoch (for
// the start-up benchmark and the process tests).
