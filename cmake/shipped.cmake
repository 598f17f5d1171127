# Size of the Windows programs. With GCC, optimised builds (MinSizeRel, Release) optimise at link
# time across the programs and the project's libraries; GCC 12 for mingw-w64 fails inside
# partitioned link-time optimisation on these sources, hence one partition.
if(MINGW AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  include(CheckIPOSupported)
  check_ipo_supported(RESULT VINTREL_LTO OUTPUT _lto_why LANGUAGES CXX)
  if(VINTREL_LTO)
    set(CMAKE_INTERPROCEDURAL_OPTIMIZATION_MINSIZEREL ON)
    set(CMAKE_INTERPROCEDURAL_OPTIMIZATION_RELEASE ON)
    add_link_options($<$<CONFIG:MinSizeRel,Release>:-flto-partition=one>)
  else()
    message(STATUS "No link-time optimisation: ${_lto_why}")
  endif()
endif()

# A program a release holds: static (Windows' own DLLs only), unused sections dropped, stripped,
# and with the plain terminate handler instead of libstdc++'s verbose one, whose name demangler
# and printf are a quarter of Vintrel.exe (an exception nobody catches ends the program either way).
function(vintrel_shipped target)
  if(NOT MINGW)
    return()
  endif()
  target_link_options(${target} PRIVATE -static
    $<$<CONFIG:MinSizeRel,Release>:-s -Wl,--gc-sections
      -Wl,--defsym,_ZN9__gnu_cxx27__verbose_terminate_handlerEv=abort>)
endfunction()

# A test that keeps a shipped program of an optimised build under LIMIT bytes.
function(vintrel_size_limit target limit)
  if(BUILD_TESTING AND CMAKE_BUILD_TYPE MATCHES "^(MinSizeRel|Release)$")
    add_test(NAME size_${target} COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:${target}> -DLIMIT=${limit}
             -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/check_size.cmake)
  endif()
endfunction()
