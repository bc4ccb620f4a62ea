# Applies the project's compile settings to one of our own targets.
function(glint_target_settings target)
  target_compile_options(${target} PRIVATE ${GLINT_WARNINGS})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()

# Collects the sources of a folder tree; new files join the build when CMake re-runs.
function(glint_sources out)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${ARGN})
  set(${out} ${files} PARENT_SCOPE)
endfunction()
