# Windows libraries that a program loads at its first call into them rather than before it starts.
# The program's start then looks for none of them in its own folder, which Wine does by reading
# the whole folder, once for each library and each library that one imports (some milliseconds
# each beside thousands of archives). Loaded later, they come from where the program's default DLL
# folders say: the system folder.
function(vintrel_delay_load target)
  if(NOT MINGW)
    return()
  endif()
  foreach(dll IN LISTS ARGN)
    find_library(VINTREL_IMPORT_${dll} NAMES lib${dll}.a REQUIRED)
    set(def ${CMAKE_CURRENT_BINARY_DIR}/${dll}_delay.def)
    set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${dll}_delay.a)
    add_custom_command(OUTPUT ${lib}
      COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DIMPORT=${VINTREL_IMPORT_${dll}} -DDLL=${dll} -DDEF=${def}
              -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/delay_def.cmake
      COMMAND ${CMAKE_DLLTOOL} -d ${def} -y ${lib}
      DEPENDS ${VINTREL_IMPORT_${dll}} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/delay_def.cmake
      VERBATIM)
    add_custom_target(${target}_delay_${dll} DEPENDS ${lib})
    add_dependencies(${target} ${target}_delay_${dll})
    target_link_libraries(${target} PRIVATE ${lib})
  endforeach()
endfunction()
