// The skin engine: a shared library of its own that the program writes out and loads by name.
//
// Once attached, the engine gives every present and future window of the process a flat look
// (frames, list view headings and grid, scroll bars, edit boxes, window background) through the
// application palette and an application style sheet. It never sets a font or a text colour
// on a general selector, and it styles push buttons only inside dialog button boxes: the
// owner-drawn buttons of the window designs carry the dynamic property "ownerDrawn" = true,
// paint themselves, and keep their designed colours and fonts.
#pragma once

// What SkinH_AttachEx returns.
enum SkinAttachResult : int {
  kSkinAttached = 0,       // the skin file's palette and style sheet now apply to the process
  kSkinFileMissing = 1,    // no path given, or the file cannot be opened or read
  kSkinFileInvalid = 2,    // not a skin file of a known version, cut short, or damaged
  kSkinNoApplication = 3,  // no QApplication exists yet
  kSkinWrongThread = 4,    // called from a thread other than the application's GUI thread
};

extern "C" {
// Reads the skin file `skinFile` (a native path, or a path on drive C such as
// "C:\\Windows\\win8.she", which is mapped to the per-user drive folder) and applies it to
// the running QApplication. `password` is unused: skins of this format are not encrypted.
// Returns a SkinAttachResult; on any failure nothing is changed.
int SkinH_AttachEx(const char* skinFile, const char* password);
}

// The type to resolve the export with, after loading the library by name.
using SkinHAttachExFunction = int (*)(const char* skinFile, const char* password);
