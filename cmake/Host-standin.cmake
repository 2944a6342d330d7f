# The bundled stand-in MEX host: MATLAB's headers and libmx/libmex, ours.
add_subdirectory(${CMAKE_SOURCE_DIR}/mexhost ${CMAKE_BINARY_DIR}/mexhost)
add_library(brelk_host INTERFACE)
if(WIN32)
  # Modules bind to MATLAB's DLLs by name; the stand-in DLLs are for tests.
  include(${CMAKE_CURRENT_LIST_DIR}/Windows.cmake)
  target_include_directories(brelk_host INTERFACE ${CMAKE_SOURCE_DIR}/mexhost/include)
  target_link_libraries(brelk_host INTERFACE brelk_import_mex brelk_import_mx)
  set(BRELK_MEX_EXT mexw64)
else()
  target_link_libraries(brelk_host INTERFACE mexhost_mx mexhost_mex)
  set(BRELK_MEX_EXT mexa64)
endif()
