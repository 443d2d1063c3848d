#!/usr/bin/env bash
# The editor starts (and paints once) whatever stands where its settings and notes belong:
# a FIFO, a folder, a device, a huge file, binary junk, a symlink loop. Each start must end
# on its own; a hang is cut by the timeout and fails.
#   hostile_startup.sh SORTIE KIT
set -u
sortie="$1" kit="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
mkdir -p -m 700 "$work/run"
failed=0
for kind in fifo folder device huge binary loop; do
  rm -rf "$work/config" "$work/state"
  mkdir -p "$work/config/sortie" "$work/state/sortie/editor-gone"
  for f in "$work/config/sortie/recent-files" "$work/state/sortie/editor-gone/backups.txt"; do
    case $kind in
      fifo) mkfifo "$f" ;;
      folder) mkdir "$f" ;;
      device) ln -s /dev/zero "$f" ;;
      huge) printf '/first.mis\n' > "$f"; truncate -s 300M "$f" ;;
      binary) head -c 4096 /dev/urandom > "$f" ;;
      loop) ln -s "$f" "$f" ;;
    esac
  done
  start=$(date +%s%N)
  timeout 10 "$sortie" --data "$kit" --exit-after-start >"$work/out" 2>&1
  rc=$?
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  if [ $rc -ne 0 ]; then
    echo "FAIL: $kind: exit $rc after $ms ms"; cat "$work/out"; failed=1
  else
    echo "ok: $kind: started in $ms ms"
  fi
done
exit $failed
