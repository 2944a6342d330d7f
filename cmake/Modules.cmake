# brelk_add_module(<source>): one MEX module, named after its source file,
# built from it and the gateway frame, exporting only the two MEX entry points.
function(brelk_add_module source)
  get_filename_component(name ${source} NAME_WE)
  add_library(${name} MODULE ${source})
  target_link_libraries(${name} PRIVATE brelk_frame brelk_host brelk_sdk brelk_warnings)
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    SUFFIX ".${BRELK_MEX_EXT}"
    LIBRARY_OUTPUT_DIRECTORY ${BRELK_MEX_DIR}
    RUNTIME_OUTPUT_DIRECTORY ${BRELK_MEX_DIR}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    BUILD_RPATH "$ORIGIN"
    INSTALL_RPATH "$ORIGIN")
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    target_link_options(${name} PRIVATE
      "LINKER:--version-script=${CMAKE_SOURCE_DIR}/gateway/exports.map"
      "LINKER:--no-undefined")
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/gateway/exports.map)
  endif()
  # Its help text beside it, so that `help` works in the build folder too.
  get_filename_component(folder ${source} DIRECTORY)
  if(EXISTS ${folder}/${name}.m)
    add_custom_command(OUTPUT ${BRELK_MEX_DIR}/${name}.m
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${folder}/${name}.m ${BRELK_MEX_DIR}/${name}.m
      DEPENDS ${folder}/${name}.m VERBATIM)
    target_sources(${name} PRIVATE ${BRELK_MEX_DIR}/${name}.m)
    set_source_files_properties(${BRELK_MEX_DIR}/${name}.m PROPERTIES HEADER_FILE_ONLY ON)
  endif()
  set_property(GLOBAL APPEND PROPERTY BRELK_MODULES ${name})
endfunction()
