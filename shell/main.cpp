// The program `qorvella`.
#include "platform/win/process_end.h"
#include "shell/program.h"

int main() {
  EndProcess(ProgramStart());
}
