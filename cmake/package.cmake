# Release package: `cmake --build --preset windows --target package` writes
# Vintrel-<version>.zip into the build folder with Vintrel.exe, biftool.exe and the players'
# read-me (as README.txt). Included from the top-level CMakeLists.txt after add_subdirectory()
# of biftool (and of app, which defines Vintrel, in the Windows build).
#
# Vintrel.exe is taken through $<TARGET_FILE:Vintrel> at build time; whether the target exists is
# known only once the whole project has been configured, so the decision is deferred to the end
# of the top-level directory with cmake_language(DEFER).

get_filename_component(VINTREL_PACKAGE_README ${CMAKE_CURRENT_LIST_DIR}/../biftool/README-players.txt ABSOLUTE)
set(VINTREL_PACKAGE_NAME "Vintrel-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}${PROJECT_VERSION_PATCH}")

function(vintrel_define_package)
  if(NOT WIN32)
    return()  # the package holds Windows programs; the native build has no package target
  endif()
  set(stage ${CMAKE_BINARY_DIR}/package/${VINTREL_PACKAGE_NAME})
  set(zip ${CMAKE_BINARY_DIR}/${VINTREL_PACKAGE_NAME}.zip)
  set(readme ${VINTREL_PACKAGE_README})
  set(files biftool.exe README.txt)
  set(copy_vintrel)
  set(deps biftool)
  if(TARGET Vintrel)
    list(PREPEND files Vintrel.exe)
    set(copy_vintrel COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Vintrel> ${stage}/Vintrel.exe)
    list(APPEND deps Vintrel)
  else()
    message(WARNING "package: there is no Vintrel target; ${VINTREL_PACKAGE_NAME}.zip will lack Vintrel.exe")
  endif()
  add_custom_target(package
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage} ${zip}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
    ${copy_vintrel}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:biftool> ${stage}/biftool.exe
    COMMAND ${CMAKE_COMMAND} -E copy ${readme} ${stage}/README.txt
    COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip -- ${files}
    DEPENDS ${readme}
    COMMENT "Packing ${VINTREL_PACKAGE_NAME}.zip"
    VERBATIM)
  add_dependencies(package ${deps})
endfunction()

cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vintrel_define_package)
