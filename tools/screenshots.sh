#!/usr/bin/env bash
# The README's pictures of the windows, taken as a user sees them: the program started on a
# simulated reader under Xvfb with a window manager (openbox), driven with xdotool, each window
# captured with its frame by ImageMagick's import. Rerun it whenever a window changes:
#   ./keldar.sh screenshots                 (installs what it needs, builds, runs this)
#   tools/screenshots.sh PROGRAM [FOLDER]   (FOLDER: docs/screenshots)
# Nothing outside a temporary folder is touched: the settings store and the simulated memory
# live there, and no port but the simulated COM1 can be opened.
set -euo pipefail

program=$(realpath "$1")
out=$(realpath -m "${2:-docs/screenshots}")
mkdir -p "$out"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
export XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_SCALE_FACTOR QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE
export QT_QPA_PLATFORM=xcb

# A 24C16 holding a line of text, then every byte value in turn.
text='keldar : 24C16 lue par le lecteur simule sur COM1. '
{
  printf '%s' "$text"
  for ((i = ${#text}; i < 2048; ++i)); do printf "\\x$(printf %02x $((i % 256)))"; done
} >"$work/24C16.bin"
export KELDAR_COM1="sim:24C16,image=$work/24C16.bin"
for n in 2 3 4; do export "KELDAR_COM$n=$work/absent-COM$n"; done

# A display of our own, chosen by the server, and a window manager to frame the windows.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

"$program" >"$work/keldar.log" 2>&1 &
pids+=($!)

# The visible window whose title holds $1, raised and given the keyboard.
window() {
  local id
  id=$(xdotool search --sync --onlyvisible --name "$1" | head -n 1)
  xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
  sleep 0.5
  echo "$id"
}
shoot() {  # window-id file
  # -screen: what is on screen there, boxes standing over the window included.
  import -screen -frame -window "$1" "$out/$2"
  echo "$out/$2"
}

main=$(window "Programmateur d'eeproms")
xdotool key shift+F1 ctrl+l
sleep 1
shoot "$main" main-window.png

# The status line's closing text stays up while the programming's result is shown.
xdotool key ctrl+m
window 'Programmation de la m' >/dev/null
shoot "$main" main-window-programmed.png
xdotool key Return

# A port that cannot be had: its message stands for 2.5 s where the memory buttons were.
main=$(window "Programmateur d'eeproms")
xdotool key shift+F2
sleep 0.5
shoot "$main" main-window-port-unavailable.png
xdotool key shift+F1

xdotool key ctrl+y
shoot "$(window 'Configuration du lecteur')" reader-configuration.png
xdotool key Escape

xdotool key ctrl+t
shoot "$(window 'Test du port')" port-test.png
xdotool key Escape

main=$(window "Programmateur d'eeproms")
xdotool key ctrl+e
shoot "$(window 'Schéma électrique')" diagram-standard.png
xdotool key Escape

main=$(window "Programmateur d'eeproms")
xdotool key ctrl+z
shoot "$(window 'Schéma électrique')" diagram-insitu.png
xdotool key Escape

main=$(window "Programmateur d'eeproms")
xdotool key ctrl+q
