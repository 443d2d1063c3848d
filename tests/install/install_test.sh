#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks the installed tree: the files are in
# place, the programs run on the installed kit from any folder without --data, and the
# desktop entry, metainfo, MIME type and manual pages pass their checkers.
# usage: install_test.sh BUILD_DIR PREFIX VERSION   (SORTIE_APP_ID, SORTIE_MISSION_MIME,
#        SORTIE_ICON_NAME and SORTIE_GUI=0|1 in the environment)
set -uo pipefail
build=$1 prefix=$2 version=$3
gui=${SORTIE_GUI:-1}
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

rm -rf "$prefix"
if ! cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1; then
  cat "$prefix.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
fi
unset SORTIE_DATA
share=$prefix/share
kit=$share/sortie/gamedata
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- the files ------------------------------------------------------------------------
files=(bin/sortie-cli share/man/man1/sortie-cli.1
       share/sortie/gamedata/kz7.pff share/sortie/gamedata/terrains.pff
       share/sortie/missions/tutorial.mis share/sortie/missions/full.mis share/sortie/missions/large.mis)
if [ "$gui" = 1 ]; then
  files+=(bin/sortie share/man/man1/sortie.1
          "share/applications/$SORTIE_APP_ID.desktop" "share/metainfo/$SORTIE_APP_ID.metainfo.xml"
          share/mime/packages/sortie-mission.xml "share/icons/hicolor/scalable/apps/$SORTIE_ICON_NAME.svg")
fi
for f in "${files[@]}"; do
  [ -s "$prefix/$f" ] || fail "$f not installed"
done
for f in kz7.pff terrains.pff; do
  cmp -s "$build/gamedata/$f" "$kit/$f" || fail "installed $f differs from the build's"
done
# Each hicolor size folder holds a PNG of that size.
if [ "$gui" = 1 ]; then
  sizes=0
  for png in "$share"/icons/hicolor/*x*/apps/"$SORTIE_ICON_NAME".png; do
    [ -e "$png" ] || continue
    n=$(basename "$(dirname "$(dirname "$png")")")
    file -b "$png" | grep -q "PNG image data, ${n%x*} x ${n#*x}," || fail "$png is not ${n} pixels"
    sizes=$((sizes + 1))
  done
  [ "$sizes" -ge 5 ] || fail "only $sizes PNG sizes of the icon in hicolor"
fi

# --- the programs on the installed kit ---------------------------------------------------
cd "$work" || exit 1
out=$("$prefix/bin/sortie-cli" --version) || fail "sortie-cli --version exits $?"
[ "$out" = "sortie-cli $version" ] || fail "sortie-cli --version prints '$out'"
"$prefix/bin/sortie-cli" --verbose check "$share/sortie/missions/tutorial.mis" 2>"$work/check.err" \
  || fail "installed sortie-cli check exits $?: $(cat "$work/check.err")"
[ -s "$work/check.err" ] && fail "installed sortie-cli check says: $(cat "$work/check.err")"
# Without the installed kit the program says where it looked: the kit beside it, not the
# build's.
mv "$kit" "$kit.away"
"$prefix/bin/sortie-cli" --verbose check "$share/sortie/missions/tutorial.mis" 2>"$work/nokit.err"
grep -qF "no text.bin under $kit" "$work/nokit.err" || fail "without its kit sortie-cli says: $(cat "$work/nokit.err")"
mv "$kit.away" "$kit"

if [ "$gui" = 1 ]; then
  out=$("$prefix/bin/sortie" --version) || fail "sortie --version exits $?"
  [ "$out" = "sortie $version" ] || fail "sortie --version prints '$out'"
  mkdir -p "$work/runtime" "$work/state" && chmod 700 "$work/runtime"
  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" \
    timeout 60 "$prefix/bin/sortie" --exit-after-start "$share/sortie/missions/tutorial.mis" 2>"$work/editor.err" \
    || fail "installed sortie --exit-after-start exits $?: $(cat "$work/editor.err")"
fi

# --- desktop integration and manual pages ----------------------------------------------
if [ "$gui" = 1 ]; then
  desktop=$share/applications/$SORTIE_APP_ID.desktop
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$share/metainfo/$SORTIE_APP_ID.metainfo.xml" >"$work/as.out" 2>&1 \
      || fail "appstreamcli validate: $(cat "$work/as.out")"
  fi
  # The entry opens the MIME type the package defines, shows the installed icon, runs the
  # installed program.
  grep -qx "MimeType=$SORTIE_MISSION_MIME;" "$desktop" || fail "desktop entry does not open $SORTIE_MISSION_MIME"
  grep -qx "Icon=$SORTIE_ICON_NAME" "$desktop" || fail "desktop entry names another icon"
  exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$prefix/bin/$exec_program" ] || fail "desktop entry runs '$exec_program', not installed in bin/"
  if command -v update-mime-database >/dev/null; then
    cp -r "$share/mime" "$work/mime"
    update-mime-database "$work/mime" 2>"$work/mime.err" || fail "update-mime-database: $(cat "$work/mime.err")"
    grep -q ":$SORTIE_MISSION_MIME:\*\.mis" "$work/mime/globs2" 2>/dev/null || fail "*.mis is not $SORTIE_MISSION_MIME"
    grep -qF "// mission metafile" "$work/mime/magic" 2>/dev/null \
      || fail "mission metafiles are not recognised by content"
  fi
fi

# Manual pages: groff reads them without a warning, and each names every command and
# option its program's usage lists.
pages=(sortie-cli)
[ "$gui" = 1 ] && pages+=(sortie)
for page in "${pages[@]}"; do
  man=$share/man/man1/$page.1
  grep -q '@[A-Z_]*@' "$man" && fail "$page.1 holds an unconfigured @VARIABLE@"
  grep -qF "$kit" "$man" || fail "$page.1 does not name the installed kit $kit"
  if command -v groff >/dev/null; then
    warnings=$(groff -man -ww -z "$man" 2>&1)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
  fi
  case $page in
    sortie-cli) words=$("$prefix/bin/sortie-cli" --help | awk '/^commands:/ {on = 1; next} on && NF {print $1}' | grep -v "^'")
                words+=" --data --verbose --help --version" ;;
    sortie) words=$("$prefix/bin/sortie" --help | grep -o -- '\(--\|/\)[A-Za-z0-9-]*' | sort -u) ;;
  esac
  [ -n "$words" ] || fail "$page --help lists nothing"
  for w in $words; do
    grep -qF -- "${w//-/\\-}" "$man" || fail "$page.1 does not describe $w"
  done
done

[ "$failures" -eq 0 ] && echo "install tree in $prefix: all checks passed"
exit $((failures > 0))
