# Release packages: the program, the submit tool, the README and an
# example submit header in one folder; a zip for Windows, a tar.gz for
# Linux.
#
#   cmake --build --preset windows && cpack --preset windows   -> build/packages/*.zip
#   cmake --build --preset default && cpack --preset default   -> build/packages/*.tar.gz

install(TARGETS vantleRender vantle_submit RUNTIME DESTINATION . COMPONENT release)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/examples/vantle_render.hdr
        DESTINATION . COMPONENT release)

# Packing installs the two programs only; it does not build the whole
# project (the tests) first. scripts/package.sh builds what it packs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_NAME vantleRender)
set(CPACK_PACKAGE_VENDOR "vantleRender developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Prepares a Maya scene for rendering on a Vantle batch pool and submits it")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(vantle_package_system windows-x86_64)
else()
  set(CPACK_GENERATOR TGZ)
  set(vantle_package_system linux-${CMAKE_SYSTEM_PROCESSOR})
endif()
set(CPACK_PACKAGE_FILE_NAME vantleRender-${PROJECT_VERSION}-${vantle_package_system})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Only what is installed for the release, nothing of the test libraries.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};release;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/build/packages)
include(CPack)
