# GNU Octave as the MEX host: the modules compile against Octave's own mex.h
# (8-bit mxChar, signed 64-bit mwSize) and link its interpreter libraries,
# into .mex files that octave-cli loads by name from an addpath'd folder.
find_program(BRELK_MKOCTFILE NAMES mkoctfile
  DOC "Octave's mkoctfile, asked for Octave's include and library folders")
if(NOT BRELK_MKOCTFILE)
  message(FATAL_ERROR "BRELK_HOST=octave needs mkoctfile: install Octave's development files "
                      "(Debian: apt-get install octave liboctave-dev)")
endif()

function(brelk_octave_query variable result)
  execute_process(COMMAND ${BRELK_MKOCTFILE} -p ${variable}
    OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${BRELK_MKOCTFILE} -p ${variable} failed")
  endif()
  set(${result} "${value}" PARENT_SCOPE)
endfunction()

brelk_octave_query(INCFLAGS octave_incflags)
brelk_octave_query(OCTLIBDIR octave_libdir)
brelk_octave_query(OCTAVE_LIBS octave_libs)

# "-I/a -I/b" and "-loctinterp -loctave" into lists of folders and libraries.
separate_arguments(octave_incflags UNIX_COMMAND "${octave_incflags}")
separate_arguments(octave_libs UNIX_COMMAND "${octave_libs}")
set(octave_includes "")
foreach(flag IN LISTS octave_incflags)
  if(flag MATCHES "^-I(.+)$")
    get_filename_component(folder "${CMAKE_MATCH_1}" REALPATH)
    list(APPEND octave_includes "${folder}")
  endif()
endforeach()
list(REMOVE_DUPLICATES octave_includes)
set(octave_libraries "")
foreach(flag IN LISTS octave_libs)
  if(flag MATCHES "^-l(.+)$")
    set(name "${CMAKE_MATCH_1}")
    find_library(BRELK_OCTAVE_LIB_${name} NAMES ${name} HINTS "${octave_libdir}" NO_CACHE)
    if(NOT BRELK_OCTAVE_LIB_${name})
      message(FATAL_ERROR "Octave library ${name} not found in ${octave_libdir}")
    endif()
    list(APPEND octave_libraries "${BRELK_OCTAVE_LIB_${name}}")
  endif()
endforeach()
find_path(octave_mex_folder mex.h PATHS ${octave_includes} NO_DEFAULT_PATH NO_CACHE)
if(NOT octave_mex_folder)
  message(FATAL_ERROR "Octave's mex.h not found in ${octave_includes}")
endif()
message(STATUS "Octave MEX host: ${octave_includes}; ${octave_libraries}")

# Octave's headers are not ours: no warnings as errors in them.
add_library(brelk_host INTERFACE)
target_include_directories(brelk_host SYSTEM INTERFACE ${octave_includes})
target_link_libraries(brelk_host INTERFACE ${octave_libraries})
set(BRELK_MEX_EXT mex)
