# Portable code sees the project through a folder of links to the portable headers alone, so an
# include of platform/win32/ fails there in the Windows build too; the Win32 side states the
# source root itself.
set(VINTREL_PORTABLE_INCLUDE ${CMAKE_BINARY_DIR}/portable_include)

# Links FOLDER's headers into the portable folder and gives it to TARGET and its users.
function(vintrel_portable_headers target folder)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  file(MAKE_DIRECTORY ${VINTREL_PORTABLE_INCLUDE}/${folder})
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    set(link ${VINTREL_PORTABLE_INCLUDE}/${folder}/${name})
    file(CREATE_LINK ${header} ${link} RESULT failed SYMBOLIC)
    if(failed)
      # No symbolic links here (Windows without the right): a copy with the header's time stamp,
      # which #pragma once takes for the same file, made again whenever the header changes.
      file(COPY ${header} DESTINATION ${VINTREL_PORTABLE_INCLUDE}/${folder})
      set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header})
    endif()
  endforeach()
  target_include_directories(${target} PUBLIC ${VINTREL_PORTABLE_INCLUDE})
endfunction()
