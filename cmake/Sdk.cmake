# The camera SDK: the maker's library when BRELK_SDK_LIBRARY names it, the
# simulated camera otherwise. Modules link it as a shared library either way.
if(BRELK_SDK_LIBRARY)
  add_library(brelk_sdk UNKNOWN IMPORTED)
  set_target_properties(brelk_sdk PROPERTIES IMPORTED_LOCATION ${BRELK_SDK_LIBRARY})
else()
  add_subdirectory(${CMAKE_SOURCE_DIR}/simulator ${CMAKE_BINARY_DIR}/simulator)
  if(WIN32)
    # Bound by the SDK's own names (windows/brelkccd.def); the simulated
    # brelkccd.dll answers them under test.
    add_library(brelk_sdk ALIAS brelk_import_brelkccd)
  else()
    add_library(brelk_sdk ALIAS brelkccd)
  endif()
endif()
