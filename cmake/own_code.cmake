# Settings for every target built from the project's own sources.
#
# The system's texts (captions, messages, markers) are GBK bytes in the program: narrow
# literals are written readably in UTF-8 sources and the compiler stores them as GBK.
function(qorvella_own_code target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -fexec-charset=GBK)
  if(QORVELLA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
