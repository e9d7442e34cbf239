# What the Windows build adds: the application manifest in every
# executable, and, for a cross build, Wine to run the tests and the build
# steps that run what was built.

# Embeds the manifest (UTF-8 code page, long paths) into an executable of
# the Windows build; does nothing elsewhere.
function(vantle_embed_manifest target)
  if(WIN32)
    target_sources(${target} PRIVATE ${VANTLE_MANIFEST_RC})
  endif()
endfunction()

if(NOT WIN32)
  return()
endif()

enable_language(RC)
set(VANTLE_MANIFEST_FILE ${CMAKE_CURRENT_LIST_DIR}/windows/vantle.manifest)
set(VANTLE_MANIFEST_RC ${CMAKE_BINARY_DIR}/manifest.rc)
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/manifest.rc.in ${VANTLE_MANIFEST_RC} @ONLY)
set_property(SOURCE ${VANTLE_MANIFEST_RC} APPEND PROPERTY OBJECT_DEPENDS ${VANTLE_MANIFEST_FILE})

# Under Wine every program of the build runs in a prefix inside the build
# tree, made on first use, quiet.
set(VANTLE_UNDER_WINE OFF)
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX AND CMAKE_CROSSCOMPILING_EMULATOR MATCHES "wine[^/]*$")
  set(VANTLE_UNDER_WINE ON)
  set(VANTLE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "The Wine prefix the Windows build's tests run in")
  list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 VANTLE_WINE)
  get_filename_component(wine_dir ${VANTLE_WINE} DIRECTORY)
  find_program(VANTLE_WINEBOOT wineboot HINTS ${wine_dir} REQUIRED)
  find_program(VANTLE_WINESERVER wineserver HINTS ${wine_dir} REQUIRED)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                  WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
  # A test program under Wine finds the build tree on drive Z:, which Wine
  # gives to the Linux root.
  set(VANTLE_HOST_PATH_PREFIX "Z:")
endif()
