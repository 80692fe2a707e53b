# Warnings every target of ours compiles with; they are kept clean.
function(harbormind_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wold-style-cast -Woverloaded-virtual -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough)
endfunction()

# harbormind_library(TARGET LIBS lib...) builds every .cpp of the calling folder into one
# static library, so a new file needs no edit here.
function(harbormind_library target)
  cmake_parse_arguments(L "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${L_LIBS})
  harbormind_warnings(${target})
endfunction()
