# The programs `cmake --install` puts on the system, and one target that builds exactly them:
# scripts/run and scripts/package build `installed_programs` instead of every test and
# benchmark, and cannot miss a program that an install component holds.
add_custom_target(installed_programs)

# harbormind_install_program(TARGET <install(TARGETS) arguments...>)
function(harbormind_install_program target)
  install(TARGETS ${target} ${ARGN})
  add_dependencies(installed_programs ${target})
endfunction()
