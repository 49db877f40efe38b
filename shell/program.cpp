#include "shell/program.h"

#include <unistd.h>

#include "platform/toolkit/toolkit.h"
#include "platform/win/file_write.h"
#include "platform/win/library.h"
#include "platform/win/paths.h"
#include "platform/win/process_end.h"
#include "resources/resources.h"
#include "shell/windows.h"

Text SearchedPage;
Text DownloadPageAddress;
Text FoundLink;
Text CloudLink;

namespace {

constexpr const char* SkinEngineFile = "C:\\Windows\\jedata.dll";
constexpr const char* SkinFile = "C:\\Windows\\win8.she";
constexpr const char* SkinEngineLibrary = "jedata.dll";
constexpr const char* SkinPassword = "";

void Release(Text& text) {
  if (!text.empty()) Text().swap(text);
}

}  // namespace

void ExitCleanup() {
  Release(SearchedPage);
  Release(DownloadPageAddress);
  Release(FoundLink);
  Release(CloudLink);
}

void FatalError(const Text& message) {
  WithdrawExitRoutine();
  ShowFatalErrorBox(message);
  EndProcessFatally();
}

int ApplySkin() {
  WriteFileBytes(SkinEngineFile, SkinEngineImage);
  WriteFileBytes(SkinFile, SkinFileImage);
  auto* attach = ImportFunction<int(const char*, const char*)>(SkinEngineLibrary, "SkinH_AttachEx");
  if (attach == nullptr) {
    FatalError("无法从库 \"jedata.dll\" 中取得函数 \"SkinH_AttachEx\"，程序将退出。");
  }
  attach(SkinFile, SkinPassword);
  return 0;
}

int ProgramStart() {
  StartToolkit();
  // Relative paths are the program folder's, wherever it was started from.
  if (::chdir(ProgramFolder().c_str()) != 0) {
    // Nothing of the program depends on it; the start goes on.
  }
  PrepareDrive();
  RegisterExitRoutine(ExitCleanup);
  ApplySkin();
  if (!OpenWindow(MainWindowDesign)) FatalError("无法创建窗口 MainWindow，程序将退出。");
  RunMessageLoop();
  return 0;
}
