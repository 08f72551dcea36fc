# velk_warnings(target): the project's warning set, made fatal when VELK_WERROR is on.
function(velk_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(VELK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Every Windows executable links statically, so that it needs no MinGW DLL beside it.
function(velk_windows_executable target)
  if(WIN32)
    target_link_options(${target} PRIVATE -static)
  endif()
endfunction()
