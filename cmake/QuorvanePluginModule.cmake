# A Linux plug-in library as hosts load it: named OUTPUT_NAME.so without a "lib" prefix, written
# into DIR, exporting only the entry points the version script EXPORTS names, and keeping the
# static libraries' symbols to itself.
function(quorvane_plugin_module target output_name dir exports)
  target_link_options(${target} PRIVATE -Wl,--version-script=${exports} -Wl,--exclude-libs,ALL)
  # clang's sanitizer runtimes are provided by the executable that loads the module.
  if(NOT (QUORVANE_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang"))
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${output_name}
    LIBRARY_OUTPUT_DIRECTORY ${dir}
    LINK_DEPENDS ${exports})
  quorvane_warnings(${target})
endfunction()
