# brelk_mex_target(<target> <folder>): makes a MODULE library a MEX file in
# <folder>, named <target>.<mex extension>, exporting only the two MEX entry
# points and finding the SDK library beside it.
function(brelk_mex_target target folder)
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    SUFFIX ".${BRELK_MEX_EXT}"
    LIBRARY_OUTPUT_DIRECTORY ${folder}
    RUNTIME_OUTPUT_DIRECTORY ${folder}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    BUILD_RPATH "$ORIGIN"
    INSTALL_RPATH "$ORIGIN")
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    target_link_options(${target} PRIVATE
      "LINKER:--version-script=${CMAKE_SOURCE_DIR}/gateway/exports.map"
      "LINKER:--no-undefined")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/gateway/exports.map)
  endif()
endfunction()

# brelk_help_beside(<target> <help file>): copies the function's help file,
# where there is one, beside the built MEX file, so that `help` works in the
# build folder too.
function(brelk_help_beside target help)
  if(NOT EXISTS ${help})
    return()
  endif()
  get_filename_component(file ${help} NAME)
  get_target_property(folder ${target} LIBRARY_OUTPUT_DIRECTORY)
  add_custom_command(OUTPUT ${folder}/${file}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${help} ${folder}/${file}
    DEPENDS ${help} VERBATIM)
  target_sources(${target} PRIVATE ${folder}/${file})
  set_source_files_properties(${folder}/${file} PROPERTIES HEADER_FILE_ONLY ON)
endfunction()

# brelk_add_module(<source>): one MEX module, named after its source file,
# built from it and the gateway frame.
function(brelk_add_module source)
  get_filename_component(name ${source} NAME_WE)
  add_library(${name} MODULE ${source})
  target_link_libraries(${name} PRIVATE brelk_frame brelk_host brelk_sdk brelk_warnings)
  brelk_mex_target(${name} ${BRELK_MEX_DIR})
  get_filename_component(folder ${source} DIRECTORY)
  brelk_help_beside(${name} ${folder}/${name}.m)
  set_property(GLOBAL APPEND PROPERTY BRELK_MODULES ${name})
endfunction()
