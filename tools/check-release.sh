#!/usr/bin/env bash
# check-release.sh [ZIP] - proves that the Windows release zip works on a machine that has never
# seen Tamsel: unpacks it into a fresh Wine prefix (Japanese locale, made and configured by
# setup-windows-toolchain.sh in a temporary folder, removed afterwards) and there
#   1. runs tamsel-cli.exe on the samples with a fixed time stamp: the converted files equal
#      tests/golden byte for byte, the two refused samples are named with their messages;
#   2. starts tamsel.exe and drives it with the keyboard as a user would (xdotool inside the
#      Wine desktop): Ctrl+O with the sample names typed into the open dialog, Ctrl+D with a
#      folder on the desktop chosen in the folder browser, Enter to convert, Enter on each
#      message box. The boxes say what the guide says they say, the files written equal
#      tests/golden but for their time stamp, Alt+F4 ends it with exit code 0 and leaves the
#      window position in the registry, and the guide's command removes it again.
# The Linux package beside the zip, if there is one, converts the samples to tests/golden too.
# ZIP defaults to the one tools/release.sh made. Installs what it needs (as root); the window
# probe that reads the screen is built in the Windows test build (build/win).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
version=$(sed -n 's/^project(tamsel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
log() { printf '[check-release] %s\n' "$*"; }
fail() {
  printf '[check-release] FAILED: %s\n' "$*" >&2
  # Inside the Wine desktop: what was on screen, as text and as a picture.
  if [[ -n "${DISPLAY:-}" ]] && declare -F probe_lines >/dev/null; then
    printf '[check-release] windows on screen:\n%s\n' "$(probe_lines)" >&2
    import -window root /tmp/check-release-failure.png &&
      printf '[check-release] screen: /tmp/check-release-failure.png\n' >&2
  fi
  exit 1
}

# The stamp of the reviewed outputs in tests/golden: 2019/03/06 09:05:07 in UTC.
GOLDEN_EPOCH=1551863107
SAMPLES=(NEWS0612.EDL PROMO_B.EDL DRAMA_JP.EDL ODDITIES.EDL CMX3600.EDL MEMO.EDL)
CONVERTED=(NEWS0612.EDL PROMO_B.EDL DRAMA_JP.EDL ODDITIES.EDL)
CMX_MESSAGE='ファイル名:<CMX3600.EDL>\nこのファイルはＣＭＸフォーマットです。'
UNKNOWN_MESSAGE='ファイル名:<MEMO.EDL>\n不明なフォーマットです。'
TALLY='6個中4個の変換が終了しました。\n変換できなかったファイル: 2 個\n（一覧の「結果」欄をご覧ください）'
TITLE="文字化けタムセル for SONY BVE-9100 EDL Ver $version"

if [[ "${1:-}" != --inside ]]; then
  zip=$(realpath "${1:-release/tamsel-$version-windows-x64.zip}")
  [[ -f "$zip" ]] || fail "no release zip at $zip (make it with tools/release.sh)"
  work=$(mktemp -d)
  trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
  # A private home as well: Wine links the prefix's Desktop and Documents to folders of $HOME.
  mkdir -p "$work/home"
  export HOME="$work/home" WINEPREFIX="$work/prefix" TZ=UTC
  bash tools/setup-windows-toolchain.sh
  if ! command -v unzip >/dev/null; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends unzip </dev/null
  fi
  probe=build/win/tools/screenshots/window_probe.exe
  if [[ ! -f build/win/build.ninja ]]; then
    cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64-x86_64.cmake >/dev/null
  fi
  cmake --build build/win --target window_probe >/dev/null
  bash tools/with-xvfb-wine.sh bash tools/check-release.sh --inside "$zip" "$root/$probe" "$work"
  log "the Windows release works in a fresh Wine prefix"

  # The Linux package beside it, when there is one: its tamsel-cli on the samples.
  tarball=${zip%-windows-x64.zip}-linux-x86_64.tar.gz
  if [[ -f "$tarball" ]]; then
    tar -C "$work" -xzf "$tarball"
    linux=$(basename "$tarball" .tar.gz)
    mkdir -p "$work/out-linux"
    status=0
    (cd "$work/$linux" && SOURCE_DATE_EPOCH=$GOLDEN_EPOCH ./tamsel-cli -o "$work/out-linux" \
      "${SAMPLES[@]/#/samples/}" >/dev/null 2>&1) || status=$?
    ((status == 1)) || fail "Linux tamsel-cli exit status $status, expected 1"
    for name in "${CONVERTED[@]}"; do
      cmp "tests/golden/C_$name" "$work/out-linux/C_$name" || fail "Linux tamsel-cli: C_$name differs"
    done
    log "the Linux package's tamsel-cli: ${#CONVERTED[@]} files equal to tests/golden"
  fi
  exit 0
fi

zip=$2
probe=$3
work=$4
drive_c="$WINEPREFIX/drive_c"
unzip -q "$zip" -d "$drive_c"
package="$drive_c/tamsel-$version-windows-x64"
[[ -f "$package/tamsel.exe" && -f "$package/tamsel-cli.exe" && -f "$package/guide-ja.html" ]] ||
  fail "the zip lacks a program or the guide"
log "unpacked into C:\\tamsel-$version-windows-x64"

# same_but_stamp GOLDEN OUTPUT: equal but for the banner's time of conversion, which must be a
# well-formed stamp.
same_but_stamp() {
  local pattern='^          >> Rewroted by TAMSEL Ver [0-9.]*  \[[0-9]{4}/[0-9]{2}/[0-9]{2}  [0-9]{2}:[0-9]{2}:[0-9]{2}\]'
  grep -aqE "$pattern" "$2" || return 1
  cmp -s <(sed -E "s#$pattern#STAMP#" "$1") <(sed -E "s#$pattern#STAMP#" "$2")
}

# ---- 1. tamsel-cli.exe --------------------------------------------------------------------
log "tamsel-cli.exe on the samples"
mkdir -p "$drive_c/out-cli"
status=0
# The pattern is passed as it stands, as the command prompt would: the program expands it.
(cd "$package" && SOURCE_DATE_EPOCH=$GOLDEN_EPOCH wine tamsel-cli.exe -o 'C:\out-cli' \
  'samples\*.EDL' >"$work/cli.out" 2>"$work/cli.err") || status=$?
tr -d '\r' <"$work/cli.err" >"$work/cli.err.txt"
((status == 1)) || fail "tamsel-cli.exe exit status $status, expected 1 (two samples refused)"
for name in "${CONVERTED[@]}"; do
  cmp "tests/golden/C_$name" "$drive_c/out-cli/C_$name" || fail "tamsel-cli.exe: C_$name differs"
done
for text in "${CMX_MESSAGE%%\\n*}" "${CMX_MESSAGE##*\\n}" "${UNKNOWN_MESSAGE%%\\n*}" \
  "${UNKNOWN_MESSAGE##*\\n}" "${TALLY%%\\n*}"; do
  grep -qF -- "$text" "$work/cli.err.txt" || fail "tamsel-cli.exe did not say: $text"
done
[[ $(find "$drive_c/out-cli" -type f | wc -l) == "${#CONVERTED[@]}" ]] ||
  fail "tamsel-cli.exe wrote other files: $(ls "$drive_c/out-cli")"
log "tamsel-cli.exe: ${#CONVERTED[@]} files equal to tests/golden, 2 refused with their messages"

# ---- 2. tamsel.exe, driven from outside ---------------------------------------------------
probe_lines() { wine "$probe" 2>/dev/null | tr -d '\r'; }
# wait_for SECONDS PATTERN: until a window line matches the extended regular expression.
wait_for() {
  local deadline=$((SECONDS + $1))
  while ((SECONDS < deadline)); do
    if probe_lines | grep -qE -- "$2"; then return 0; fi
    sleep 0.3
  done
  return 1
}
# The text of the message box on screen: its static text, the control after the caption and
# the icon.
message_box_text() { probe_lines | awk -F'\t' '$1 == "#32770" && $2 == "タムセル" { print }'; }

log "tamsel.exe: start"
# Started in the samples folder: the open dialog opens in the current folder.
(cd "$package/samples" && exec wine "C:\\tamsel-$version-windows-x64\\tamsel.exe") &
gui=$!
wait_for 60 "^_GUI	$TITLE	" || fail "the main window did not open"
desk=$(xdotool search --name 'Wine desktop' | head -1)
xdotool windowfocus --sync "$desk"
# A click on the caption activates the window: inside the Wine desktop no window manager does.
xdotool mousemove --sync 250 10 click 1
sleep 0.5

log "tamsel.exe: Ctrl+O, the samples typed into the open dialog"
xdotool key ctrl+o
wait_for 20 $'^#32770\tＥＤＬファイルの参照\t' || fail "Ctrl+O opened no open dialog"
sleep 0.5
xdotool type --delay 20 "$(printf '"%s" ' "${SAMPLES[@]}")"
xdotool key Return
wait_for 20 "	ファイル参照数:${#SAMPLES[@]}(	|$)" ||
  fail "the list does not hold the ${#SAMPLES[@]} samples: $(probe_lines)"

# The output folder: a folder on the desktop, chosen in the folder browser, which opens on the
# desktop (the default) and finds the folder by its typed name. (Not the desktop itself: Wine's
# desktop window opens each file that appears there, racing the program's rename.)
log "tamsel.exe: Ctrl+D, the folder out-gui on the desktop chosen"
desktop=$(winepath -u "$(wine cmd.exe /c echo %USERPROFILE% | tr -d '\r')\\Desktop")
mkdir -p "${desktop%/}/out-gui"
xdotool key ctrl+d
wait_for 20 $'^#32770\t.*\t変換したＥＤＬの保存先を選択してください。' ||
  fail "Ctrl+D opened no folder browser"
sleep 0.5
xdotool type --delay 20 out-gui
sleep 0.5
xdotool key Return
wait_for 20 $'\t[A-Z]:\\\\[^\t]*\\\\Desktop\\\\out-gui\\\\\t' ||
  fail "the output folder is not out-gui on the desktop"
folder=$(probe_lines | awk -F'\t' '$1 == "_GUI" { for (k = 3; k <= NF; ++k) if ($k ~ /out-gui/) print $k }')
output=$(winepath -u "$folder")
output=${output%/}
log "tamsel.exe: output folder $folder"

log "tamsel.exe: Enter converts; Enter dismisses each box"
xdotool key Return
boxes=()
deadline=$((SECONDS + 120))
while ((SECONDS < deadline)); do
  box=$(message_box_text)
  if [[ -z "$box" ]]; then
    sleep 0.3
    continue
  fi
  boxes+=("$box")
  xdotool key Return
  # Gone before the next one is looked for.
  while [[ "$(message_box_text)" == "$box" ]] && ((SECONDS < deadline)); do sleep 0.3; done
  [[ "$box" == *"${TALLY%%\\n*}"* ]] && break
done
((${#boxes[@]} == 3)) || fail "expected two warnings and the tally, saw: $(printf '\n  %s' "${boxes[@]}")"
[[ "${boxes[0]}${boxes[1]}" == *"$CMX_MESSAGE"* ]] || fail "no CMX warning: ${boxes[*]}"
[[ "${boxes[0]}${boxes[1]}" == *"$UNKNOWN_MESSAGE"* ]] || fail "no unknown-format warning: ${boxes[*]}"
[[ "${boxes[2]}" == *"$TALLY"* ]] || fail "the last box is not the tally: ${boxes[2]}"
log "tamsel.exe: warnings for CMX3600.EDL and MEMO.EDL, then \"$TALLY\""
# The guide shipped in the zip shows these boxes line for line as the program does.
for text in "$CMX_MESSAGE" "$UNKNOWN_MESSAGE" "$TALLY"; do
  while IFS= read -r line; do
    grep -qxF -- "$line" "$package/guide-ja.md" || fail "the guide does not show the line: $line"
  done <<<"${text//\\n/$'\n'}"
done

for name in "${CONVERTED[@]}"; do
  same_but_stamp "tests/golden/C_$name" "$output/C_$name" ||
    fail "tamsel.exe: $folder\\C_$name missing or different from tests/golden"
done
for name in CMX3600.EDL MEMO.EDL; do
  [[ ! -e "$output/C_$name" ]] || fail "tamsel.exe wrote C_$name for a refused file"
done
log "tamsel.exe: ${#CONVERTED[@]} files equal to tests/golden but for their time stamp"

log "tamsel.exe: Alt+F4"
sleep 0.5
xdotool key alt+F4
status=0
timeout 30 tail --pid="$gui" -f /dev/null || fail "tamsel.exe did not end after Alt+F4"
wait "$gui" || status=$?
((status == 0)) || fail "tamsel.exe ended with exit code $status"
wine reg query 'HKCU\Software\tamsel\data\Position' /v Position >/dev/null 2>&1 ||
  fail "no window position stored"
wine reg delete 'HKCU\Software\tamsel' /f >/dev/null 2>&1
if wine reg query 'HKCU\Software\tamsel' >/dev/null 2>&1; then
  fail "reg delete left HKCU\\Software\\tamsel"
fi
log "tamsel.exe: ended with 0; its stored position found, then removed with reg delete"
