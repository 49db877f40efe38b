# Settings for every target built from the project's own sources.
#
# The system's texts (captions, messages, markers) are GBK bytes in the program: narrow
# literals are written readably in UTF-8 sources and the compiler stores them as GBK.
# GB18030 is used as the compiler's execution charset: it gives exactly the GBK bytes for every
# character GBK holds, and unlike GBK it can also encode the few non-GBK characters that
# system headers carry in narrow literals (libstdc++'s <chrono> has "\u00b5s"), which would
# otherwise stop the build of any file that includes <chrono>.
function(qorvella_own_code target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -fexec-charset=GB18030)
  if(QORVELLA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
