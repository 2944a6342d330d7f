# cmake --install: one ready-to-use toolbox folder, <prefix>/<BRELK_TOOLBOX_DIR>,
# that a user only adds to the MATLAB or Octave path. It holds the modules
# built for this build's host, each with its help file beside it (the host's
# `help` looks for it there), Contents.m, the +brelk package of classes
# built on the modules, the examples, and, where the
# simulated camera is the SDK, its library and its test controls. The maker's
# SDK library is the user's own and is not copied.
set(BRELK_TOOLBOX_DIR "brelk" CACHE STRING
    "The toolbox folder cmake --install lays out, relative to the install prefix")

# The listing beside the built modules too, so that `help mex` works in the
# build folder.
configure_file(${CMAKE_SOURCE_DIR}/toolbox/Contents.m ${BRELK_MEX_DIR}/Contents.m COPYONLY)
install(FILES ${CMAKE_SOURCE_DIR}/toolbox/Contents.m DESTINATION ${BRELK_TOOLBOX_DIR})

# The +brelk package (brelk.Camera, brelk.FilterWheel) beside the modules it
# calls, in the build folder as installed: a package folder is found on the
# path of its parent folder. Copied afresh, so that a file removed from the
# sources does not linger in the build.
file(GLOB_RECURSE brelk_package_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/+brelk/*.m)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/brelk_package.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${BRELK_MEX_DIR}/+brelk
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/+brelk ${BRELK_MEX_DIR}/+brelk
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/brelk_package.stamp
  DEPENDS ${brelk_package_files}
  COMMENT "The +brelk package beside the modules"
  VERBATIM)
add_custom_target(brelk_package ALL DEPENDS ${CMAKE_BINARY_DIR}/brelk_package.stamp)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/+brelk DESTINATION ${BRELK_TOOLBOX_DIR})
# Octave's `help brelk`: PKG_ADD puts octave/ on Octave's path, where brelk.m
# carries the same listing (see toolbox/octave/brelk_package.m). In the build
# folder too, so that the folder works as it is.
file(READ ${CMAKE_SOURCE_DIR}/toolbox/Contents.m CONTENTS)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/toolbox/Contents.m)
configure_file(${CMAKE_SOURCE_DIR}/toolbox/octave/brelk.m.in ${BRELK_MEX_DIR}/octave/brelk.m @ONLY)
foreach(file PKG_ADD PKG_DEL octave/brelk_package.m)
  configure_file(${CMAKE_SOURCE_DIR}/toolbox/${file} ${BRELK_MEX_DIR}/${file} COPYONLY)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/toolbox/PKG_ADD ${CMAKE_SOURCE_DIR}/toolbox/PKG_DEL
        DESTINATION ${BRELK_TOOLBOX_DIR})
install(FILES ${BRELK_MEX_DIR}/octave/brelk.m ${CMAKE_SOURCE_DIR}/toolbox/octave/brelk_package.m
        DESTINATION ${BRELK_TOOLBOX_DIR}/octave)

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

install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${BRELK_TOOLBOX_DIR}/examples)
