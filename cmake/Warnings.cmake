# Every target of ours is built with warnings as errors.
function(keldar_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()
