# Warnings are errors in every target of ours.
function(lumaro_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
