# Warnings for the project's own targets (the SDK subset is built without them).
function(quorvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
