# cmake -DEXECUTABLES=<exe;exe> -P check_manifest.cmake
#
# Fails unless every executable carries the application manifest that
# makes UTF-8 its code page and declares it long path aware.
cmake_policy(VERSION 3.25)
foreach(exe IN LISTS EXECUTABLES)
  file(STRINGS ${exe} code_page REGEX "<activeCodePage[^>]*>UTF-8</activeCodePage>")
  file(STRINGS ${exe} long_paths REGEX "<longPathAware[^>]*>true</longPathAware>")
  if(NOT code_page)
    message(FATAL_ERROR "${exe} has no manifest that makes UTF-8 its code page")
  endif()
  if(NOT long_paths)
    message(FATAL_ERROR "${exe} has no manifest that declares it long path aware")
  endif()
endforeach()
