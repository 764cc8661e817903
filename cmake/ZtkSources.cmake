# Sources are sorted by their file name, so that adding a file needs no edit here:
#   name_win.cpp   the Win32 edge (Windows builds only)
#   name_host.cpp  stand-ins for the edge on the native build
#   name.cpp       portable code (both builds)
# ztk_collect_sources(OUT [EXCLUDE name...] FOLDERS folder...): this build's
# sources of those folders (relative to the source root), without the named
# files (names without extension).
function(ztk_collect_sources out)
  cmake_parse_arguments(ARG "" "" "EXCLUDE;FOLDERS" ${ARGN})
  set(sources "")
  foreach(dir ${ARG_FOLDERS})
    file(GLOB files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
    foreach(f ${files})
      get_filename_component(name ${f} NAME_WE)
      if(name IN_LIST ARG_EXCLUDE)
        continue()
      elseif(name MATCHES "_win$" AND NOT WIN32)
        continue()
      elseif(name MATCHES "_host$" AND WIN32)
        continue()
      endif()
      list(APPEND sources ${f})
    endforeach()
  endforeach()
  set(${out} ${sources} PARENT_SCOPE)
endfunction()
