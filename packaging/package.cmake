# Lays out the Octave package in STAGE/brelk and packs it into TARBALL:
#   cmake -DSOURCE=<repo> -DSTAGE=<folder> -DVERSION=<x.y.z> -DTARBALL=<file> -P package.cmake
# The sources are taken as they are now, and what they are from manifest.mk,
# so a new module, stage or toolbox file needs no edit here.
foreach(variable SOURCE STAGE VERSION TARBALL)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "package.cmake needs -D${variable}=...")
  endif()
endforeach()

set(packaging ${SOURCE}/packaging)
file(STRINGS ${packaging}/DESCRIPTION described REGEX "^Version: ")
if(NOT described STREQUAL "Version: ${VERSION}")
  message(FATAL_ERROR "packaging/DESCRIPTION says '${described}', the project is ${VERSION}")
endif()

include(${SOURCE}/cmake/Manifest.cmake)
brelk_read_manifest(${SOURCE})

# src/ holds what the Makefile builds from, at the paths manifest.mk gives.
set(package ${STAGE}/brelk)
set(src ${package}/src)
file(REMOVE_RECURSE ${STAGE})
file(COPY ${packaging}/DESCRIPTION ${packaging}/INDEX ${packaging}/COPYING DESTINATION ${package})
file(COPY ${packaging}/src/Makefile ${SOURCE}/manifest.mk DESTINATION ${src})
# Each in its folder (toolbox/, toolbox/octave/): pkg would copy a Contents.m
# at the top of src/ away from the functions. A .in file is written here,
# since the Makefile has no CMake to configure it.
foreach(file IN LISTS BRELK_TOOLBOX_FILES BRELK_TOOLBOX_OCTAVE_FILES)
  get_filename_component(folder ${file} DIRECTORY)
  brelk_toolbox_file(${SOURCE} ${file} ${src}/${folder} written)
endforeach()
foreach(file IN LISTS BRELK_SIMULATOR_SOURCES BRELK_SIMULATOR_HEADERS)
  get_filename_component(folder ${file} DIRECTORY)
  file(COPY ${SOURCE}/${file} DESTINATION ${src}/${folder})
endforeach()
file(COPY ${SOURCE}/gateway/frame.cpp ${SOURCE}/gateway/frame.h ${SOURCE}/gateway/brelkccd.h
     DESTINATION ${src}/gateway)
foreach(stage IN LISTS BRELK_STAGES)
  file(GLOB files ${SOURCE}/${stage}/BRELK_*.cpp ${SOURCE}/${stage}/BRELK_*.m)
  if(files)
    file(COPY ${files} DESTINATION ${src}/${stage})
  endif()
endforeach()
file(GLOB controls ${SOURCE}/simulator/control/brelksim.cpp ${SOURCE}/simulator/control/brelksim.m)
file(COPY ${controls} DESTINATION ${src}/simulator/control)
foreach(folder IN LISTS BRELK_TOOLBOX_FOLDERS)
  file(COPY ${SOURCE}/${folder} DESTINATION ${src})
endforeach()

file(REMOVE ${TARBALL})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar czf ${TARBALL} brelk
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "packing ${TARBALL} failed")
endif()
