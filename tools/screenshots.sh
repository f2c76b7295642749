#!/usr/bin/env bash
# screenshots.sh - remakes the pictures of the guide in docs/images: the main window as it opens,
# its empty list saying where to drop files (empty-list.png), with a few files (main-window.png),
# its first menu open (menu.png), its menu その他 with the guide (other-menu.png), the settings
# menu with the CMX 3600 export, the two tables and their frame rate (settings-menu.png), after a job with the
# export that met a CMX list with each row's outcome (results.png) and a row's menu open
# (row-menu.png), the about box (about-box.png), the progress dialog (progress-dialog.png), a
# failure's warning box (failure-message.png), the tally at the end of a job (summary.png), and
# a controller-coded sample as a Japanese PC shows it above its conversion (before-after.png)
# and its CMX 3600 export (cmx-export.png). The window program runs under Wine in a private
# Xvfb, with the Japanese locale and fonts the tests use. The PNGs carry no time stamps, so a
# picture changes only when what it shows does.
# Needs the Windows build and the Wine prefix:
#   bash tools/setup-windows-toolchain.sh
#   cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64-x86_64.cmake
#   cmake --build build/win --target tamsel_scenes   (tools/screenshots/screenshot_scenes.cpp)
#   bash tools/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" != --inside ]]; then
  exec bash tools/with-xvfb-wine.sh bash tools/screenshots.sh --inside
fi

scenes=build/win/tools/screenshots/tamsel_scenes.exe
if [[ ! -f "$scenes" ]]; then
  echo "screenshots: $scenes is missing; build the Windows build first (see the header)" >&2
  exit 1
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# shoot SCENE OUTPUT [SAMPLE]: runs the scene, photographs the screen rectangle it reports, ends it.
shoot() {
  local scene=$1 output=$2
  local extra=()
  [[ -n "${3:-}" ]] && extra=("$(winepath -w "$3")")
  rm -f "$tmp/ready" "$tmp/done"
  wine "$scenes" "$scene" "$(winepath -w "$tmp/ready")" "$(winepath -w "$tmp/done")" "${extra[@]}" &
  local pid=$!
  for _ in $(seq 300); do
    [[ -s "$tmp/ready" ]] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [[ ! -s "$tmp/ready" ]]; then
    echo "screenshots: the scene '$scene' did not come up" >&2
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  local left top right bottom
  read -r left top right bottom <"$tmp/ready"
  import -window root "$tmp/screen.png"
  # /usr/local/bin/convert may be another program: ImageMagick's is in /usr/bin.
  /usr/bin/convert "$tmp/screen.png" -crop "$((right - left))x$((bottom - top))+$left+$top" \
    +repage -strip "$output"
  touch "$tmp/done"
  wait "$pid"
  echo "screenshots: wrote $output"
}

mkdir -p docs/images
shoot empty docs/images/empty-list.png
shoot main docs/images/main-window.png
shoot menu docs/images/menu.png
shoot other docs/images/other-menu.png
shoot settings docs/images/settings-menu.png
shoot results docs/images/results.png
shoot rowmenu docs/images/row-menu.png
shoot about docs/images/about-box.png
shoot progress docs/images/progress-dialog.png
shoot failure docs/images/failure-message.png
shoot summary docs/images/summary.png
shoot compare docs/images/before-after.png samples/NEWS0612.EDL
shoot export docs/images/cmx-export.png samples/NEWS0612.EDL
