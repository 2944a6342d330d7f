# The bundled stand-in MEX host: MATLAB's headers and libmx/libmex, ours.
add_subdirectory(${CMAKE_SOURCE_DIR}/mexhost ${CMAKE_BINARY_DIR}/mexhost)
add_library(brelk_host INTERFACE)
target_link_libraries(brelk_host INTERFACE mexhost_mx mexhost_mex)
if(WIN32)
  set(BRELK_MEX_EXT mexw64)
else()
  set(BRELK_MEX_EXT mexa64)
endif()
