# cmake --install: one ready-to-use toolbox folder, <prefix>/<BRELK_TOOLBOX_DIR>,
# that a user only adds to the MATLAB or Octave path. It holds the modules
# built for this build's host, each with its help file beside it (the host's
# `help` looks for it there), Contents.m, the +brelk package of classes
# built on the modules, the examples, and, where the
# simulated camera is the SDK, its library and its test controls. The maker's
# SDK library is the user's own and is not copied.
set(BRELK_TOOLBOX_DIR "brelk" CACHE STRING
    "The toolbox folder cmake --install lays out, relative to the install prefix")

# The toolbox's files and folders (manifest.mk): in the build folder's mex/
# too, as installed, so that the folder works as it is (help, +brelk).
function(brelk_toolbox_files built installed)
  foreach(file IN LISTS ARGN)
    brelk_toolbox_file(${CMAKE_SOURCE_DIR} ${file} ${built} written)
    install(FILES ${written} DESTINATION ${installed})
  endforeach()
endfunction()
brelk_toolbox_files(${BRELK_MEX_DIR} ${BRELK_TOOLBOX_DIR} ${BRELK_TOOLBOX_FILES})
brelk_toolbox_files(${BRELK_MEX_DIR}/octave ${BRELK_TOOLBOX_DIR}/octave ${BRELK_TOOLBOX_OCTAVE_FILES})

# The folders copied afresh when a file in them changes, so that a file
# removed from the sources does not linger in the build.
set(stamps "")
foreach(folder IN LISTS BRELK_TOOLBOX_FOLDERS)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*)
  string(MAKE_C_IDENTIFIER ${folder} name)
  set(stamp ${CMAKE_BINARY_DIR}/toolbox_folder_${name}.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${BRELK_MEX_DIR}/${folder}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/${folder} ${BRELK_MEX_DIR}/${folder}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${files}
    COMMENT "${folder} beside the modules"
    VERBATIM)
  list(APPEND stamps ${stamp})
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/${folder} DESTINATION ${BRELK_TOOLBOX_DIR})
endforeach()
add_custom_target(brelk_toolbox_folders ALL DEPENDS ${stamps})

get_property(brelk_installed_modules GLOBAL PROPERTY BRELK_MODULES)
foreach(module IN LISTS brelk_installed_modules)
  install(TARGETS ${module} LIBRARY DESTINATION ${BRELK_TOOLBOX_DIR} RUNTIME DESTINATION ${BRELK_TOOLBOX_DIR})
  get_target_property(sources ${module} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  list(GET sources 0 source)
  get_filename_component(folder ${source} DIRECTORY)
  if(EXISTS ${folder}/${module}.m)
    install(FILES ${folder}/${module}.m DESTINATION ${BRELK_TOOLBOX_DIR})
  endif()
endforeach()

if(TARGET brelkccd)
  # Beside the modules, where their $ORIGIN run path (or Windows) finds it.
  install(FILES $<TARGET_FILE:brelkccd> DESTINATION ${BRELK_TOOLBOX_DIR})
  if(TARGET brelksim)
    install(TARGETS brelksim LIBRARY DESTINATION ${BRELK_TOOLBOX_DIR} RUNTIME DESTINATION ${BRELK_TOOLBOX_DIR})
    if(EXISTS ${CMAKE_SOURCE_DIR}/simulator/control/brelksim.m)
      install(FILES ${CMAKE_SOURCE_DIR}/simulator/control/brelksim.m DESTINATION ${BRELK_TOOLBOX_DIR})
    endif()
  endif()
endif()

