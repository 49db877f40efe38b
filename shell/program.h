// The life of the process: start-up, the skin, and the clean-up at a normal end.
#pragma once

#include "text/text.h"

// Prepares the process, registers ExitCleanup, attaches the skin, opens MainWindow and runs
// the message loop until no window of the program is left; returns the exit code, 0.
int ProgramStart();

// Writes the skin engine and its skin file into the Windows folder, replacing what is there
// (a failed write is ignored), and attaches the skin with SkinH_AttachEx of "jedata.dll".
// When that function cannot be had, shows the error and ends the process with -1. Returns 0.
int ApplySkin();

// Releases the program-wide texts, in this order, each only if it holds a value. Runs once at
// a normal end of the process, never after a fatal error.
void ExitCleanup();

// Ends the process after a fatal error: the message box with `message`, no ExitCleanup, -1.
[[noreturn]] void FatalError(const Text& message);

// Program-wide texts, each released just before it is replaced and finally by ExitCleanup.
extern Text SearchedPage;         // the page that FindThunderLink searches
extern Text DownloadPageAddress;  // the download page linked from a film page
extern Text FoundLink;            // the thunder:// tail or fast-transfer address found
extern Text CloudLink;            // the link taken from CloudLinkWindow
