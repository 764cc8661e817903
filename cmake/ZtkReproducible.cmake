# Same sources, same bytes: a release build of one commit comes out identical
# wherever and whenever it is built, so anyone can rebuild a shipped binary and
# compare. Directory-wide, so every target defined after the include gets it.

# The PE header's time stamp (and the checksum that follows from it) is the
# only thing that differs between two builds otherwise. Nothing reads it: the
# launcher has no bound imports and is not loaded by time stamp.
if(WIN32)
  add_link_options(LINKER:--no-insert-timestamp)
endif()

# No build folder in the objects: __FILE__, debug and symbol file names name
# sources relative to the source root. Debug builds keep absolute paths, which
# the debugger and the coverage report need to find the sources.
set(ZTK_PREFIX_MAPS
  -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
  -ffile-prefix-map=${PROJECT_BINARY_DIR}/=build/)
add_compile_options(
  "$<$<AND:$<COMPILE_LANGUAGE:C,CXX>,$<NOT:$<CONFIG:Debug>>>:${ZTK_PREFIX_MAPS}>")
