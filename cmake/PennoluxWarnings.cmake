# Warnings as an interface target: every project target links it, third-party code does not.
add_library(pennolux_warnings INTERFACE)
target_compile_options(pennolux_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
  -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough)
option(PENNOLUX_WERROR "Treat warnings as errors" OFF)
if(PENNOLUX_WERROR)
  target_compile_options(pennolux_warnings INTERFACE -Werror)
endif()
