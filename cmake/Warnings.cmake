# Every target of ours is built with warnings as errors.
function(keldar_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
    # GCC 12 reports impossible overlaps inside std::string at -O2 (GCC bug 105329).
    $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
endfunction()
