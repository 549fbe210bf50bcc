# CLI11, header-only, parses keldar-cli's command line: Debian's libcli11-dev serves every build,
# the MinGW cross build included. A cross build looks in its own root only, and must never be
# handed the host's /usr/include as a whole: it gets a folder that holds a link to CLI/ alone.
find_package(CLI11 2.1 CONFIG QUIET)
if(NOT CLI11_FOUND)
  find_path(KELDAR_CLI11_INCLUDE_DIR CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
  if(NOT KELDAR_CLI11_INCLUDE_DIR)
    message(FATAL_ERROR "CLI11 not found: install libcli11-dev")
  endif()
  set(keldar_cli11_dir ${CMAKE_BINARY_DIR}/cli11)
  file(MAKE_DIRECTORY ${keldar_cli11_dir})
  file(CREATE_LINK ${KELDAR_CLI11_INCLUDE_DIR}/CLI ${keldar_cli11_dir}/CLI SYMBOLIC)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  target_include_directories(CLI11::CLI11 INTERFACE ${keldar_cli11_dir})
endif()
