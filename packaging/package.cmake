# Lays out the Octave package in STAGE/brelk and packs it into TARBALL:
#   cmake -DSOURCE=<repo> -DSTAGE=<folder> -DVERSION=<x.y.z> -DTARBALL=<file> -P package.cmake
# The sources are taken as they are now, so a new module needs no edit here.
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

set(package ${STAGE}/brelk)
file(REMOVE_RECURSE ${STAGE})
file(COPY ${packaging}/DESCRIPTION ${packaging}/INDEX ${packaging}/COPYING DESTINATION ${package})
file(COPY ${packaging}/src/Makefile DESTINATION ${package}/src)
# Under a folder of its own: pkg would copy a Contents.m at the top of src/
# away from the functions.
file(COPY ${SOURCE}/toolbox/Contents.m DESTINATION ${package}/src/toolbox)
# Octave's `help brelk` (see toolbox/octave/brelk_package.m): the Makefile
# puts these beside the functions and Contents.m.
file(COPY ${SOURCE}/toolbox/PKG_ADD ${SOURCE}/toolbox/PKG_DEL DESTINATION ${package}/src/toolbox)
file(COPY ${SOURCE}/toolbox/octave/brelk_package.m DESTINATION ${package}/src/toolbox/octave)
file(READ ${SOURCE}/toolbox/Contents.m CONTENTS)
configure_file(${SOURCE}/toolbox/octave/brelk.m.in ${package}/src/toolbox/octave/brelk.m @ONLY)
file(COPY ${SOURCE}/gateway/frame.cpp ${SOURCE}/gateway/frame.h ${SOURCE}/gateway/brelkccd.h
     DESTINATION ${package}/src/gateway)
foreach(stage setup settings info filterwheel exposure)
  file(GLOB files ${SOURCE}/${stage}/BRELK_*.cpp ${SOURCE}/${stage}/BRELK_*.m)
  if(files)
    file(COPY ${files} DESTINATION ${package}/src/${stage})
  endif()
endforeach()
file(GLOB simulator ${SOURCE}/simulator/*.cpp ${SOURCE}/simulator/*.h)
file(COPY ${simulator} DESTINATION ${package}/src/simulator)
file(GLOB controls ${SOURCE}/simulator/control/brelksim.cpp ${SOURCE}/simulator/control/brelksim.m)
file(COPY ${controls} DESTINATION ${package}/src/simulator/control)
# The Makefile puts it beside the modules, where every route has it.
file(COPY ${SOURCE}/+brelk DESTINATION ${package}/src)
file(GLOB examples ${SOURCE}/examples/*)
if(examples)
  file(COPY ${examples} DESTINATION ${package}/inst/examples)
endif()

file(REMOVE ${TARBALL})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar czf ${TARBALL} brelk
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "packing ${TARBALL} failed")
endif()
