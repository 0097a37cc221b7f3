# r770_glob_sources(<var> <dir>): the .cpp/.h files of <dir> for this OS.
# Platform files end in _linux.cpp or _win.cpp; only the current OS's are kept.
function(r770_glob_sources var dir)
  file(GLOB files CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  if(WIN32)
    list(FILTER files EXCLUDE REGEX "_linux\\.cpp$")
  else()
    list(FILTER files EXCLUDE REGEX "_win\\.cpp$")
  endif()
  set(${var} ${files} PARENT_SCOPE)
endfunction()
