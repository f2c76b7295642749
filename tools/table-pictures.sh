#!/usr/bin/env bash
# table-pictures.sh - remakes the guide's pictures of the tables as a spreadsheet shows them:
# the samples' event table EVENTS_NEWS0612.csv (events-table.png) and the pull list of all the
# samples together, PULL_ALL.csv (pull-list.png). tamsel-cli writes them from samples/*.EDL with
# a fixed stamp; LibreOffice Calc lays each out (tools/csv_to_fods.py) and prints it to PDF,
# which becomes the PNG. As root it installs what it needs (LibreOffice Calc, poppler-utils,
# ImageMagick, the Japanese fonts); the tests need none of it.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v soffice >/dev/null || ! command -v pdftoppm >/dev/null ||
  [[ ! -x /usr/bin/convert ]] || ! fc-list | grep -q "Noto Sans CJK JP"; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    libreoffice-calc poppler-utils imagemagick fonts-noto-cjk >/dev/null
fi
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native --target tamsel-cli >/dev/null

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# Some samples are refused on purpose (a CMX file, a file without event lines).
SOURCE_DATE_EPOCH=0 build/native/cli/tamsel-cli -o "$tmp" --events --pull samples/*.EDL \
  >/dev/null 2>&1 || true

# picture CSV PNG: the table as a spreadsheet prints it, trimmed to the sheet with a margin.
picture() {
  python3 tools/csv_to_fods.py "$tmp/$1" "$tmp/sheet.fods"
  soffice --headless "-env:UserInstallation=file://$tmp/profile" --convert-to pdf \
    --outdir "$tmp" "$tmp/sheet.fods" >/dev/null 2>&1
  pdftoppm -r 110 -png -singlefile "$tmp/sheet.pdf" "$tmp/sheet"
  /usr/bin/convert "$tmp/sheet.png" -trim +repage -bordercolor white -border 8 -strip "$2"
  echo "table-pictures: wrote $2"
}

mkdir -p docs/images
picture EVENTS_NEWS0612.csv docs/images/events-table.png
picture PULL_ALL.csv docs/images/pull-list.png
