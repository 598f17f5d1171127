# What a release holds: Vintrel.exe, biftool.exe and the players' read-me as README.txt, side by
# side in Vintrel-<version>.zip. `cmake --build --preset windows --target package` (or cpack)
# writes it into the build folder.
install(TARGETS Vintrel biftool RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/biftool/README-players.txt DESTINATION . RENAME README.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME "Vintrel-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}${PROJECT_VERSION_PATCH}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
