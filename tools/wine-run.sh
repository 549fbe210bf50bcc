#!/bin/sh
# Runs a program of the Windows cross build under Wine, so that it can never reach this
# machine's serial ports:
# - a throw-away prefix of our own (never ~/.wine, whose COM1 is the host's /dev/ttyS0);
# - its serial ports are ours alone (HKLM\Software\Wine\Ports, which Wine's mount manager maps
#   before the devices it finds): COM1..COM4 lead to paths that do not exist, COM10 to /dev/null
#   (a device that opens but has no modem lines, for the tests of the COM backend). Before each
#   run, with the host's devices in sight, every comN and lptN link of the prefix must be one of
#   these, else nothing runs;
# - Wine runs in a private mount namespace whose /dev holds only null, zero, full, random,
#   urandom and shm: the mount manager finds no /dev/ttyS*, ttyUSB*, ttyACM* or lp* to map, and
#   nothing Wine starts in it can open a terminal or a serial device (the wineserver, which opens
#   the files of every Wine process, is started in such a namespace too);
# - KELDAR_COM1..4 name paths that do not exist unless the caller set them.
# Usage: tools/wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
set -eu

prefix=$(realpath -m "$1")
shift
ports="com1=/nonexistent/keldar-com1 com2=/nonexistent/keldar-com2
com3=/nonexistent/keldar-com3 com4=/nonexistent/keldar-com4 com10=/nonexistent/keldar-com10"

export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer, no menu entries on the host, no window system.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
for n in 1 2 3 4; do
  eval "[ -n \"\${KELDAR_COM$n:-}\" ]" || export "KELDAR_COM$n=C:\\nonexistent\\keldar-com$n"
done

host_namespace=$(readlink /proc/self/ns/mnt)
if [ -z "${KELDAR_WINE_HOST_NAMESPACE:-}" ]; then
  for link in "$prefix"/dosdevices/com* "$prefix"/dosdevices/lpt*; do
    [ -L "$link" ] || continue
    expected=$(echo "$ports" | tr ' ' '\n' | sed -n "s|^$(basename "$link")=||p")
    if [ "$(readlink "$link")" != "$expected" ]; then
      echo "wine-run: $link mène à $(readlink "$link") : supprimez le préfixe $prefix" >&2
      exit 3
    fi
  done
  # Root makes the namespace directly; anyone else through a user namespace.
  user_namespace=""
  [ "$(id -u)" -eq 0 ] || user_namespace=--map-root-user
  exec env KELDAR_WINE_HOST_NAMESPACE="$host_namespace" \
    unshare --mount --propagation private $user_namespace sh "$0" "$prefix" "$@"
fi

# Inside: never touch the host's /dev.
if [ "$host_namespace" = "$KELDAR_WINE_HOST_NAMESPACE" ]; then
  echo "wine-run: pas d'espace de montage privé, Wine n'est pas lancé" >&2
  exit 3
fi
host_dev=$(mktemp -d)
mount --rbind /dev "$host_dev"
mount -t tmpfs -o mode=755 keldar-dev /dev
for node in null zero full random urandom; do
  : >"/dev/$node"
  mount --bind "$host_dev/$node" "/dev/$node"
done
mkdir /dev/shm
mount -t tmpfs -o mode=1777 keldar-shm /dev/shm
ln -s /proc/self/fd /dev/fd
umount --lazy "$host_dev"
rmdir "$host_dev"

# A new prefix is made, given its ports, then restarted so that the mount manager maps them.
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/system.reg" ]; then
  wineboot --init >/dev/null 2>&1
  for port in $ports; do
    name=$(echo "${port%%=*}" | tr a-z A-Z)
    wine reg add 'HKLM\Software\Wine\Ports' /v "$name" /t REG_SZ /d "${port#*=}" /f >/dev/null 2>&1
  done
  wineserver --wait
  wineboot >/dev/null 2>&1
fi
for port in $ports; do
  if [ "$(readlink "$prefix/dosdevices/${port%%=*}")" != "${port#*=}" ]; then
    echo "wine-run: ${port%%=*} du préfixe $prefix ne mène pas à ${port#*=}" >&2
    exit 3
  fi
done
flock --unlock 9
exec 9>&-

exec wine "$@"
