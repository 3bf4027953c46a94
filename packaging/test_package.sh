#!/usr/bin/env bash
# Builds the Debian package from a finished build folder, unpacks it into a
# scratch root and checks that what a user gets works from there.
#   test_package.sh BUILD_FOLDER [CPACK]
# Every check runs; each failure is printed, and the exit status is 1 if any.
set -uo pipefail

build=${1:?usage: test_package.sh BUILD_FOLDER [CPACK]}
cpack=${2:-cpack}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
app_id=io.github.nimbrel.Nimbrel

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# --- The package -----------------------------------------------------------
if ! (cd "$build" && "$cpack" -G DEB -B "$tmp/out") >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"
  echo "FAIL: cpack -G DEB did not make a package"
  exit 1
fi
debs=("$tmp"/out/nimbrel_*_"$(dpkg --print-architecture)".deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  ls "$tmp/out"
  echo "FAIL: expected one nimbrel_VERSION_ARCH.deb, found: ${debs[*]}"
  exit 1
fi
deb=${debs[0]}
echo "package: $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
# libqt6svg6: the toolbar images are drawn from SVG.
for needed in fonts-liberation qt6-qpa-plugins libcurl4 libqt6widgets6 libqt6printsupport6 libqt6svg6 libc6; do
  [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done
[[ "$(dpkg-deb -f "$deb" Recommends)" == *qt6-translations-l10n* ]] ||
  fail "Recommends lacks qt6-translations-l10n (Qt's own words in German and French)"
[ "$(dpkg-deb -f "$deb" Section)" = science ] || fail "Section is not science"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer"
[ -n "$(dpkg-deb -f "$deb" Homepage)" ] || fail "no Homepage"

root=$tmp/root
dpkg-deb -x "$deb" "$root" || { echo "FAIL: dpkg-deb -x"; exit 1; }
usr=$root/usr

# --- The file list -----------------------------------------------------------
for program in nimbrel nimbrel-report nimbrel-sample-service; do
  [ -x "$usr/bin/$program" ] || fail "no program usr/bin/$program"
done
expected_files=(
  share/nimbrel/Stations.txt
  share/applications/$app_id.desktop
  share/metainfo/$app_id.metainfo.xml
  share/icons/hicolor/scalable/apps/$app_id.svg
  share/man/man1/nimbrel.1.gz
  share/man/man1/nimbrel-report.1.gz
  share/man/man1/nimbrel-sample-service.1.gz
  share/doc/nimbrel/changelog.gz
  share/doc/nimbrel/copyright
  share/doc/nimbrel/manual/en/index.md
  share/doc/nimbrel/manual/pictures/overview.png
  share/nimbrel/translations/nimbrel_de.qm
  share/nimbrel/translations/nimbrel_fr.qm
)
if [ -f "$source_dir/data/metar/noaa-cycles-2010-11-14.txt.gz" ]; then
  expected_files+=(share/nimbrel/noaa-cycles-2010-11-14.txt.gz)
fi
for file in "${expected_files[@]}"; do
  [ -s "$usr/$file" ] || fail "no file usr/$file"
done
cmp -s "$source_dir/data/Stations.txt" "$usr/share/nimbrel/Stations.txt" ||
  fail "the packaged Stations.txt differs from data/Stations.txt"

# Each PNG must really be of the size its folder names (width and height are
# the big-endian words at bytes 16 and 20 of the PNG header).
for size in 16 22 24 32 48 64 128 256; do
  png=$usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  if [ ! -s "$png" ]; then
    fail "no icon ${size}x${size}"
    continue
  fi
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
  [ "$width $height" = "$size $size" ] || fail "icon ${size}x${size} is ${width}x${height}"
done

outside=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '^\./usr/' | grep -v '^\./$')
[ -z "$outside" ] || fail "files outside /usr: $outside"

# --- The report tool on the installed list -----------------------------------
if "$usr/bin/nimbrel-report" stations "$usr/share/nimbrel/Stations.txt" >"$tmp/stations.tsv" 2>"$tmp/stations.err"; then
  lines=$(wc -l <"$tmp/stations.tsv")
  [ "$lines" -gt 5000 ] || fail "nimbrel-report stations listed only $((lines - 1)) stations"
  awk -F'\t' '$3 == "EDDF"' "$tmp/stations.tsv" | grep -q FRANKFURT ||
    fail "nimbrel-report stations does not list FRANKFURT/M (EDDF)"
else
  fail "nimbrel-report stations failed: $(cat "$tmp/stations.err")"
fi

# --- The viewer, started as from the menu ------------------------------------
# An empty working folder and private home and data folders: the station list
# can only come from the package's share/nimbrel.
run_viewer() {  # FOLDER LOG [VARIABLE=VALUE...]
  local folder=$1 log=$2
  shift 2
  mkdir -p "$folder" "$tmp/home" "$tmp/xdg-data"
  mkdir -p -m 700 "$tmp/runtime"
  (cd "$folder" && env -u XDG_CONFIG_HOME -u DISPLAY -u WAYLAND_DISPLAY -u QT_SCALE_FACTOR \
    HOME="$tmp/home" XDG_DATA_HOME="$tmp/xdg-data" XDG_RUNTIME_DIR="$tmp/runtime" QT_QPA_PLATFORM=offscreen "$@" \
    timeout 30 "$usr/bin/nimbrel" --quit-after-first-paint) >"$log" 2>&1
}
viewer_started() {  # exit status and log of run_viewer
  [ "$1" -eq 0 ] && grep -qx "first paint" "$2" && ! grep -q "Can not open" "$2"
}
run_viewer "$tmp/empty" "$tmp/viewer.log"
status=$?
if ! viewer_started "$status" "$tmp/viewer.log"; then
  # The same start with the list in the working folder tells a missing list
  # from a viewer that does not start at all.
  mkdir -p "$tmp/with-list"
  cp "$usr/share/nimbrel/Stations.txt" "$tmp/with-list/"
  run_viewer "$tmp/with-list" "$tmp/viewer-with-list.log"
  control=$?
  if viewer_started "$control" "$tmp/viewer-with-list.log"; then
    fail "nimbrel, started from an empty folder, did not find the installed" \
      "usr/share/nimbrel/Stations.txt (exit status $status; 124 is the 30 s time-out," \
      "as when it waits on its \"Can not open\" message); output:" "$(cat "$tmp/viewer.log")"
  else
    fail "nimbrel did not start even with Stations.txt in its working folder" \
      "(exit status $control); output:" "$(cat "$tmp/viewer-with-list.log")"
  fi
fi

# A screen at scale 2 paints the map's 2x picture and the toolbar's SVG
# images, from the installed program alone.
run_viewer "$tmp/empty" "$tmp/viewer-2x.log" QT_SCALE_FACTOR=2
status=$?
viewer_started "$status" "$tmp/viewer-2x.log" ||
  fail "nimbrel did not start at scale 2 (exit status $status); output:" "$(cat "$tmp/viewer-2x.log")"

# --- The sample service on the installed data ---------------------------------
if [ -f "$usr/share/nimbrel/noaa-cycles-2010-11-14.txt.gz" ]; then
  "$usr/bin/nimbrel-sample-service" --port 0 --stations "$usr/share/nimbrel/Stations.txt" \
    --metar "$usr/share/nimbrel/noaa-cycles-2010-11-14.txt.gz" >"$tmp/service.log" 2>&1 &
  service=$!
  for _ in $(seq 100); do
    grep -q "http://127.0.0.1:" "$tmp/service.log" && break
    kill -0 "$service" 2>/dev/null || break
    sleep 0.1
  done
  grep -q "METARs of .* stations on http://127.0.0.1:[0-9]*/" "$tmp/service.log" ||
    fail "nimbrel-sample-service did not serve the installed station list and METARs; output:" "$(cat "$tmp/service.log")"
  kill "$service" 2>/dev/null
  wait "$service" 2>/dev/null
fi

# --- Launcher and metadata -----------------------------------------------------
desktop=$usr/share/applications/$app_id.desktop
metainfo=$usr/share/metainfo/$app_id.metainfo.xml
if [ -f "$desktop" ]; then
  desktop-file-validate "$desktop" >"$tmp/desktop.log" 2>&1 ||
    fail "desktop-file-validate: $(cat "$tmp/desktop.log")"
  exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$usr/bin/$exec_program" ] || fail "the launcher's Exec=$exec_program is not a packaged program"
  [ "$(sed -n 's/^Icon=//p' "$desktop")" = "$app_id" ] || fail "the launcher's Icon is not $app_id"
fi
if [ -f "$metainfo" ]; then
  appstreamcli validate --no-net "$metainfo" >"$tmp/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$tmp/appstream.log")"
  # The whole tree too: the launcher the metadata names must be there.
  appstreamcli validate-tree --no-net "$root" >"$tmp/appstream-tree.log" 2>&1 ||
    fail "appstreamcli validate-tree: $(cat "$tmp/appstream-tree.log")"
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the metadata does not launch $app_id.desktop"
  grep -q "<id>$app_id</id>" "$metainfo" || fail "the metadata's id is not $app_id"
  # The newest release is the program's version, with its notes.
  newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
  [ "nimbrel $newest" = "$(QT_QPA_PLATFORM=offscreen "$usr/bin/nimbrel" --version 2>/dev/null)" ] ||
    fail "the metadata's newest release $newest is not the program's version"
  grep -q "<li>" "$metainfo" || fail "the metadata's release has no notes"
  grep -q "<image>.*docs/screenshot.png</image>" "$metainfo" || fail "the metadata shows no picture"
fi

# --- Man pages -----------------------------------------------------------------
for page in nimbrel nimbrel-report nimbrel-sample-service; do
  file=$usr/share/man/man1/$page.1.gz
  [ -f "$file" ] || continue
  if ! MANWIDTH=80 man -l "$file" >"$tmp/$page.txt" 2>"$tmp/$page.err" || [ -s "$tmp/$page.err" ]; then
    fail "man -l $page.1.gz: $(cat "$tmp/$page.err")"
  fi
  grep -q "^NAME" "$tmp/$page.txt" || fail "man page $page has no NAME section"
  zcat "$file" | groff -man -Tutf8 -ww -z 2>"$tmp/$page.groff"
  [ -s "$tmp/$page.groff" ] && fail "groff warns on $page.1: $(cat "$tmp/$page.groff")"
done

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "package checks passed"
