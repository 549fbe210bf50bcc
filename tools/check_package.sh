#!/usr/bin/env bash
# What a user who builds keldar himself, a packager and a desktop rely on, checked after the tests:
#   1. the plain CMake recipe with GCC (Release) and Clang (Debug), warnings as errors, the
#      program and keldar-cli only (no GoogleTest, benchmark or Qt Test needed);
#   2. the Debian package made from the GCC build: its control fields and contents, unpacked
#      into a temporary root where keldar-cli gives the package's version and reads a memory;
#   3. the desktop entry, the AppStream metadata and the manual pages, as installed;
#   4. every subcommand and option that keldar-cli's help prints is in its manual page and its
#      bash completion;
#   5. lintian on the package: no error (its warnings are printed).
# KELDAR_LINTIAN=0 skips step 5.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "check_package: $*" >&2
  exit 1
}
step() {
  echo "== check_package: $* ($SECONDS s)"
}

plain_build() {  # folder compiler build-type targets...
  local dir=$1 cxx=$2 type=$3
  shift 3
  # A packager's build: neither GoogleTest, nor benchmark, nor Qt Test may be looked for.
  cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER="$(command -v "$cxx")" -DCMAKE_BUILD_TYPE="$type" \
    -DKELDAR_WERROR=ON -DKELDAR_BUILD_TESTS=OFF -DKELDAR_BUILD_BENCH=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Test=ON --no-warn-unused-cli >/dev/null
  cmake --build "$dir" --parallel 2 --target "$@"
}

step "GCC, Release, program and package"
g++ --version | head -n 1
rm -f build/plain-gcc/keldar_*.deb  # a package of an older version would be taken for this one
plain_build build/plain-gcc g++ Release package
step "Clang, Debug, program"
clang++ --version | head -n 1
plain_build build/plain-clang clang++ Debug keldar keldar-cli

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
debs=(build/plain-gcc/keldar_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "one keldar_*.deb expected, found: ${debs[*]}"
deb=${debs[0]}

step "package $deb"
dpkg-deb -I "$deb"
version="$(dpkg-deb -f "$deb" Version)"
[ "$(basename "$deb")" = "keldar_${version}_$(dpkg --print-architecture).deb" ] ||
  fail "$deb is not named after its version and architecture"
depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libqt6widgets6 libqt6svg6 'fonts-liberation | fonts-croscore' qt6-translations-l10n; do
  [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/contents"
for path in usr/bin/keldar usr/bin/keldar-cli \
  usr/share/applications/keldar.desktop \
  usr/share/metainfo/fr.zembrax.keldar.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/keldar.svg \
  usr/share/icons/hicolor/48x48/apps/keldar.png \
  usr/share/icons/hicolor/256x256/apps/keldar.png \
  usr/share/man/man1/keldar.1.gz usr/share/man/man1/keldar-cli.1.gz \
  usr/share/bash-completion/completions/keldar-cli \
  usr/share/doc/keldar/copyright usr/share/doc/keldar/changelog.gz; do
  grep -qx "\./$path" "$work/contents" || fail "$path missing from the package"
done
grep -v -e '/$' -e '^\./usr/bin/' -e '^\./usr/share/' "$work/contents" &&
  fail "files outside /usr/bin and /usr/share"

root="$work/root"
dpkg -x "$deb" "$root"
share="$root/usr/share"
for size in 48 256; do
  file -b "$share/icons/hicolor/${size}x${size}/apps/keldar.png" |
    grep -q "^PNG image data, $size x $size," || fail "the ${size} px icon is not a $size x $size PNG"
done

# The unpacked program, with no real port and no real settings within reach.
cli() {
  env KELDAR_COM1=/nonexistent/com1 KELDAR_COM2=/nonexistent/com2 \
    KELDAR_COM3=/nonexistent/com3 KELDAR_COM4=/nonexistent/com4 \
    XDG_CONFIG_HOME="$work/config" "$root/usr/bin/keldar-cli" "$@"
}
[ "$(cli --version)" = "keldar-cli $version" ] ||
  fail "keldar-cli --version gives '$(cli --version)', the package is $version"
cli read --port "sim:24C02,image=$work/sim.bin" --type 24C02 -o "$work/read.bin" >/dev/null
cmp -s "$work/read.bin" <(head -c 256 /dev/zero | tr '\0' '\377') ||
  fail "the unpacked keldar-cli did not read 256 bytes of FF from a blank 24C02"

step "desktop entry, AppStream metadata, manual pages"
desktop-file-validate "$share/applications/keldar.desktop"
appstreamcli validate --no-net --pedantic "$share/metainfo/fr.zembrax.keldar.metainfo.xml"
for page in "$share"/man/man1/*.1.gz; do
  # As lintian formats them: any warning of groff or man is a fault.
  warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

step "every option of keldar-cli's help in its manual page and its completion"
zcat "$share/man/man1/keldar-cli.1.gz" | sed 's/\\-/-/g' >"$work/keldar-cli.1"
# The completion, driven as bash-completion drives it (its two helpers reduced to what it uses).
complete_words() {  # words on the command line, the last one being completed
  bash -c '
    _init_completion() {
      words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; cur=${words[cword]}; prev=${words[cword-1]}
    }
    _filedir() { :; }
    source "$0"
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _keldar_cli
    printf "%s\n" "${COMPREPLY[@]}"' "$share/bash-completion/completions/keldar-cli" "$@"
}
commands="$(cli --help | sed -n 's/^  \([a-z]\+\)  .*/\1/p')"
[ -n "$commands" ] || fail "no command found in keldar-cli --help"
top="$(complete_words keldar-cli '')"
for command in $commands --version; do
  grep -qx -- "$command" <<<"$top" || fail "the completion does not offer $command"
  grep -qE -- "^\.B $command( |$)" "$work/keldar-cli.1" || fail "keldar-cli.1 lacks $command"
done
for command in $commands; do
  offered="$(complete_words keldar-cli "$command" '')"
  options="$(cli "$command" --help | grep -oE -- '(^|[ [(])--?[a-z][a-z-]*' | tr -d ' [(' | sort -u)"
  for option in $options; do
    grep -qx -- "$option" <<<"$offered" || fail "the completion of $command lacks $option"
    grep -qE -- "^\.[A-Z]+ $option( |$)" "$work/keldar-cli.1" || fail "keldar-cli.1 lacks $option"
  done
done

if [ "${KELDAR_LINTIAN:-1}" != 0 ]; then
  step "lintian"
  lintian --fail-on error --info --display-experimental --pedantic "$deb" | tee "$work/lintian" || {
    fail "lintian reports errors"
  }
  echo "lintian: $(grep -c '^E:' "$work/lintian") errors, $(grep -c '^W:' "$work/lintian") warnings," \
    "$(grep -c '^[IPX]:' "$work/lintian") other notes"
fi
step "done"
