# Compiles through ccache when it is installed. The cache keys on paths relative to the source
# folder, so a second checkout or build folder of the same sources reuses the first one's objects.
option(HARBORMIND_CCACHE "Compile through ccache when it is installed" ON)
find_program(HARBORMIND_CCACHE_PROGRAM ccache)
if(HARBORMIND_CCACHE AND HARBORMIND_CCACHE_PROGRAM)
  set(launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR} CCACHE_NOHASHDIR=1
      CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      ${HARBORMIND_CCACHE_PROGRAM})
  set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
endif()
