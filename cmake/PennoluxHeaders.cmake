# pennolux_export_headers(target folder): users of target include
# "<folder>/Name.h" and see nothing else of src/, so a lower floor cannot
# include a higher one by accident. Each library gets a folder of its own in
# the build tree holding one link to its source folder.
function(pennolux_export_headers target folder)
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
