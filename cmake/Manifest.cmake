# manifest.mk, what every route builds the toolbox from, for the project
# and for packaging/package.cmake (script mode).

# brelk_read_manifest(<root>): each `NAME := words` line of <root>/manifest.mk
# as the list BRELK_<NAME> in the caller's scope.
function(brelk_read_manifest root)
  file(STRINGS ${root}/manifest.mk lines REGEX "^[A-Z_]+[ \t]*:=")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "^([A-Z_]+)[ \t]*:=[ \t]*(.*)$" entry "${line}")
    separate_arguments(words UNIX_COMMAND "${CMAKE_MATCH_2}")
    set(BRELK_${CMAKE_MATCH_1} "${words}" PARENT_SCOPE)
  endforeach()
  if(NOT CMAKE_SCRIPT_MODE_FILE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${root}/manifest.mk)
  endif()
endfunction()

# brelk_toolbox_file(<root> <file> <folder> <written>): the toolbox file
# <root>/<file> into <folder>, its path there in <written>. A .in file is
# configured, without the .in, with @CONTENTS@ the text of BRELK_TOOLBOX_LISTING.
function(brelk_toolbox_file root file folder written)
  get_filename_component(name ${file} NAME)
  if(name MATCHES "^(.+)\\.in$")
    file(READ ${root}/${BRELK_TOOLBOX_LISTING} CONTENTS)
    if(NOT CMAKE_SCRIPT_MODE_FILE)
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${root}/${BRELK_TOOLBOX_LISTING})
    endif()
    set(target ${folder}/${CMAKE_MATCH_1})
    configure_file(${root}/${file} ${target} @ONLY)
  else()
    set(target ${folder}/${name})
    configure_file(${root}/${file} ${target} COPYONLY)
  endif()
  set(${written} ${target} PARENT_SCOPE)
endfunction()
