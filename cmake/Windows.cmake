# Building for 64-bit Windows (cmake/toolchain-mingw64.cmake).
#
# A module binds to MATLAB's libmx.dll and libmex.dll and to the SDK's
# brelkccd.dll by the names those DLLs export, so it links against import
# libraries made from the definition files in windows/, never against the
# stand-in host or the simulated camera built here.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU" OR NOT CMAKE_DLLTOOL)
  message(FATAL_ERROR "The Windows build needs MinGW-w64 (g++ and dlltool), e.g. "
                      "--toolchain cmake/toolchain-mingw64.cmake; with MSVC use MATLAB's mex command")
endif()

set(BRELK_WINDOWS_DEF_DIR ${CMAKE_SOURCE_DIR}/windows)
set(BRELK_IMPORT_LIB_DIR ${CMAKE_BINARY_DIR}/windows)

# brelk_import_library(<target> <dll base name>): an interface target that
# links the import library made from windows/<name>.def.
function(brelk_import_library target name)
  set(def ${BRELK_WINDOWS_DEF_DIR}/${name}.def)
  set(lib ${BRELK_IMPORT_LIB_DIR}/${name}.dll.a)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${BRELK_IMPORT_LIB_DIR}
    COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${name}.dll --output-lib ${lib}
    DEPENDS ${def}
    COMMENT "Import library ${name}.dll.a from windows/${name}.def"
    VERBATIM)
  add_custom_target(${target}_lib DEPENDS ${lib})
  add_library(${target} INTERFACE)
  target_link_libraries(${target} INTERFACE ${lib})
  add_dependencies(${target} ${target}_lib)
endfunction()

brelk_import_library(brelk_import_mx libmx)
brelk_import_library(brelk_import_mex libmex)
brelk_import_library(brelk_import_brelkccd brelkccd)

# Test programs run under Wine, in a prefix of this build's own, with no
# display, no prompts to install Mono or Gecko, and no debugger started on a
# crash, so that a death test's child ends at once.
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(BRELK_WINE NAMES wine wine64 PATHS /usr/lib/wine)
  if(BRELK_WINE)
    set(BRELK_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
    set(CMAKE_CROSSCOMPILING_EMULATOR
        ${CMAKE_COMMAND} -E env WINEPREFIX=${BRELK_WINEPREFIX} WINEDEBUG=-all
        WINEDLLOVERRIDES=mscoree,mshtml,winedbg.exe= ${BRELK_WINE})
  endif()
endif()
