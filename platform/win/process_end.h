// The ends of the process and the routine run at a normal end (the runtime's registration of
// an exit routine, as the program uses it).
#pragma once

// Registers the routine run once at a normal end of the process: by EndProcess, or by a
// plain exit() or a return from main. Only one routine is kept; a later call replaces it.
void RegisterExitRoutine(void (*routine)());
// Withdraws the registration, as the fatal-error path does before it ends the process.
void WithdrawExitRoutine();
// Ends the process with `code`: runs the registered routine (once, on this thread), flushes
// standard output, then ends at once without tearing down anything else, so that worker
// threads still running, even one waiting on the GUI thread, simply end with the process.
[[noreturn]] void EndProcess(int code);
// Ends the process after a fatal error with exit code -1 (255 to the shell), without the
// exit routine.
[[noreturn]] void EndProcessFatally();
