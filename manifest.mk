# What the toolbox is built from and how its folder is laid out, read by
# every route that builds it: CMake (cmake/Manifest.cmake), brelk_build.m,
# and the Octave package (packaging/package.cmake, and packaging/src/Makefile,
# which includes it as it is). A new stage, source file, toolbox file or
# folder goes here once.
#
# One NAME := words line per entry, words separated by spaces; paths from the
# checkout's top, with / between folders. Comments on lines of their own.

# The folders of the modules: BRELK_<stage>_<Action>.cpp each, with its help
# file BRELK_<stage>_<Action>.m beside it.
STAGES := setup settings info filterwheel exposure

# The simulated camera, the library brelkccd: its sources and headers, the
# folders it includes from and the macros it defines, and the flags of a GNU
# compiler called directly (brelk_build, the package). CMake sets the same
# standard, optimisation and visibility its own way.
SIMULATOR_SOURCES := simulator/sdk.cpp simulator/sim.cpp simulator/camera.cpp
SIMULATOR_HEADERS := simulator/camera.h simulator/clock.h simulator/state.h simulator/sdk_operations.h simulator/brelkccd_sim.h gateway/brelkccd.h
SIMULATOR_INCLUDES := simulator gateway
SIMULATOR_DEFINES := BRELKCCD_BUILDING_LIBRARY
SIMULATOR_GNU_FLAGS := -std=c++17 -O2 -pthread -fvisibility=hidden

# The toolbox folder, beside the modules and their help files: these files;
TOOLBOX_FILES := toolbox/Contents.m toolbox/PKG_ADD toolbox/PKG_DEL
# these in its folder octave/, a .in file written there without the .in, its
# @CONTENTS@ replaced by the text of TOOLBOX_LISTING;
TOOLBOX_OCTAVE_FILES := toolbox/octave/brelk_package.m toolbox/octave/brelk.m.in
TOOLBOX_LISTING := toolbox/Contents.m
# and these folders, copied whole at every depth under their own names.
TOOLBOX_FOLDERS := +brelk examples
