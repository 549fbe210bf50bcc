# Every target of ours is built with the same warnings. They become errors only where we ask
# (presets and CI): a user's or a packager's compiler may warn about things ours does not.
option(KELDAR_WERROR "Treat compiler warnings as errors" OFF)

function(keldar_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
    $<$<BOOL:${KELDAR_WERROR}>:-Werror>
    # GCC 12 reports impossible overlaps inside std::string at -O2 (GCC bug 105329).
    $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
endfunction()
