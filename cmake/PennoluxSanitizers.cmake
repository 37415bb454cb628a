# -DPENNOLUX_SANITIZE=address,undefined builds everything with those sanitizers.
set(PENNOLUX_SANITIZE "" CACHE STRING "Comma-separated sanitizers (address, undefined, thread, leak)")
add_library(pennolux_sanitizers INTERFACE)
if(PENNOLUX_SANITIZE)
  target_compile_options(pennolux_sanitizers INTERFACE
    -fsanitize=${PENNOLUX_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(pennolux_sanitizers INTERFACE -fsanitize=${PENNOLUX_SANITIZE})
endif()

# Project targets take both interface targets through this one call.
function(pennolux_target_defaults target)
  target_link_libraries(${target} PRIVATE pennolux_warnings pennolux_sanitizers)
endfunction()
