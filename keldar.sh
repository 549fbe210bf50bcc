#!/usr/bin/env bash
# keldar: set-up and the everyday jobs on a Debian 12 machine.
#   ./keldar.sh run     install what is missing, build, start the program
#   ./keldar.sh test    install what is missing, build under ASan/UBSan, run every test, check
#                       the builds and the Debian package (tools/check_package.sh), then run
#                       the Windows build's tests under Wine
#   ./keldar.sh windows install what is missing, cross-build for Windows, run its tests under Wine
#   ./keldar.sh bench   install what is missing, build optimised, print the benchmark figures
#   ./keldar.sh screenshots   the README's pictures of the windows, under Xvfb and openbox
set -euo pipefail
cd "$(dirname "$0")"

# The fonts stand in for MS Sans Serif, Arial and Courier New with their metrics; Qt's French
# texts come with its translations. CLI11 (header-only) parses keldar-cli's command line, in the
# Windows build too. MinGW-w64, GoogleTest's sources and Wine make and run the Windows build.
PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
          qt6-base-dev qt6-svg-dev libgl-dev qt6-translations-l10n fonts-liberation
          libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
          srecord binutils python3-intelhex libftdi1-dev sigrok-cli
          dpkg-dev file appstream desktop-file-utils lintian man-db
          g++-mingw-w64-x86-64-posix googletest wine wine64)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installation de : ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
}

build() {  # preset [targets...]
  local preset=$1; shift
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" "$@"
}

# Simulated readers on COM1..COM4 unless the user names devices; their memories persist in
# ~/.local/share/keldar/sim between runs.
default_sim_ports() {
  local dir="${XDG_DATA_HOME:-$HOME/.local/share}/keldar/sim"
  mkdir -p "$dir"
  : "${KELDAR_COM1:=sim:24C16,image=$dir/com1-24C16.bin}"
  : "${KELDAR_COM2:=sim:24C256,image=$dir/com2-24C256.bin}"
  : "${KELDAR_COM3:=sim:X24C01,image=$dir/com3-X24C01.bin}"
  : "${KELDAR_COM4:=sim:24C02,pins=5,wiring=insitu,image=$dir/com4-24C02-insitu.bin}"
  export KELDAR_COM1 KELDAR_COM2 KELDAR_COM3 KELDAR_COM4
}

# The Windows build (MinGW-w64) and its tests under Wine, through tools/wine-run.sh: a prefix of
# its own in the build tree, in a mount namespace where no serial device of this machine exists.
windows_suite() {
  local start=$SECONDS
  build windows
  ctest --preset windows
  # gtest's own totals: "[  PASSED  ] 47 tests." and "[  SKIPPED ] 3 tests, listed below:".
  awk -v seconds=$((SECONDS - start)) '
    /^\[  PASSED  \] [0-9]+ tests?\./ { passed += $4 }
    /^\[  SKIPPED \] [0-9]+ tests?, listed below:/ { skipped += $4 }
    END { printf "Suite Windows sous Wine : %d tests réussis, %d sans objet sous Windows, en %d s\n",
                 passed, skipped, seconds }' build/windows/Testing/Temporary/LastTest.log
}

case "${1:-}" in
  run)
    install_missing
    build release --target keldar keldar-cli
    default_sim_ports
    exec ./build/release/src/app/keldar
    ;;
  test)
    install_missing
    build asan
    ctest --preset asan
    if [ -x tools/fuzz.sh ]; then tools/fuzz.sh; fi
    tools/check_package.sh
    windows_suite
    ;;
  windows)
    install_missing
    windows_suite
    ;;
  bench)
    install_missing
    build release
    for b in build/release/bench/*/keldar_bench_*; do
      [ -f "$b" ] && [ -x "$b" ] || continue  # skip the *_autogen folders
      "$b" --benchmark_counters_tabular=true
    done
    ;;
  screenshots)
    PACKAGES+=(xvfb openbox xdotool imagemagick)
    install_missing
    build release --target keldar
    tools/screenshots.sh build/release/src/app/keldar docs/screenshots
    ;;
  *)
    sed -n '2,/^set /s/^# \{0,1\}//p' "$0"  # the comment block above
    exit 2
    ;;
esac
