#!/usr/bin/env bash
# release.sh [--check] - makes the release folder release/ on a Debian 12 machine (as root it
# installs what is missing):
#   tamsel-VERSION-windows-x64.zip   tamsel.exe, tamsel-cli.exe, the Japanese guide with its
#                                    pictures, the sample EDLs
#   tamsel-VERSION-linux-x86_64.tar.gz  tamsel-cli, the guide with its pictures, the samples
#   SHA256SUMS
# The programs are Release builds; the Windows ones are linked statically and import nothing
# but system DLLs, the Linux one carries its C++ runtime and needs only glibc. Files in the
# packages are dated at the last commit, so the same tree gives the same packages.
# With --check it then unpacks the Windows zip into a fresh Wine prefix and converts the
# samples with both programs (tools/check-release.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
case "${1:-}" in
  "") ;;
  --check) check=1 ;;
  *) sed -n '2,13p' "$0"; exit 2 ;;
esac

version=$(sed -n 's/^project(tamsel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
windows_name=tamsel-$version-windows-x64
linux_name=tamsel-$version-linux-x86_64
jobs=$(nproc)
log() { printf '[release] %s\n' "$*"; }

# ---- packages ------------------------------------------------------------------------------
bash tools/setup-native.sh
# The cross compiler and objdump, zip, and Python's Markdown for the guide's HTML page (run by
# Debian's own python3, which that package extends).
PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 zip python3-markdown)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  if [[ $(id -u) -ne 0 ]]; then
    log "missing packages: ${missing[*]}; run as root"; exit 1
  fi
  log "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
fi

# ---- builds --------------------------------------------------------------------------------
# From scratch: a release holds nothing an earlier build of another tree left behind.
rm -rf build/release-win build/release-linux
log "Windows Release build"
cmake -S . -B build/release-win -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSEL_TESTS=OFF \
  -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64-x86_64.cmake >/dev/null
cmake --build build/release-win -j "$jobs" --target tamsel tamsel-cli
log "Linux Release build"
# The C++ runtime linked in; glibc stays shared (its code page tables are loaded at run time).
cmake -S . -B build/release-linux -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSEL_TESTS=OFF \
  -DCMAKE_EXE_LINKER_FLAGS="-static-libstdc++ -static-libgcc" >/dev/null
cmake --build build/release-linux -j "$jobs" --target tamsel-cli

# ---- the packages' contents ----------------------------------------------------------------
rm -rf release
mkdir -p "release/$windows_name" "release/$linux_name"
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)

# guide-ja.html from docs/guide-ja.md: one page that opens in any browser, pictures beside it.
render_guide() {
  /usr/bin/python3 - docs/guide-ja.md "$1/guide-ja.html" <<'PY'
import html, sys, markdown
from markdown.extensions.toc import slugify_unicode
source = open(sys.argv[1], encoding="utf-8").read()
title = next((l[2:].strip() for l in source.splitlines() if l.startswith("# ")), "Tamsel")
body = markdown.markdown(source, extensions=["tables", "fenced_code", "toc"],
                       extension_configs={"toc": {"slugify": slugify_unicode}})
page = f"""<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
<title>{html.escape(title)}</title>
<style>
body {{ font-family: "Yu Gothic UI", Meiryo, "MS UI Gothic", sans-serif; max-width: 60em;
       margin: 2em auto; padding: 0 1em; line-height: 1.7; }}
table {{ border-collapse: collapse; }}
th, td {{ border: 1px solid #999; padding: 0.3em 0.6em; vertical-align: top; }}
code, pre {{ font-family: "MS Gothic", monospace; background: #f3f3f3; }}
pre {{ padding: 0.6em; overflow-x: auto; }}
img {{ max-width: 100%; border: 1px solid #ccc; }}
</style>
</head>
<body>
{body}
</body>
</html>
"""
open(sys.argv[2], "w", encoding="utf-8", newline="\r\n").write(page)
PY
  mkdir -p "$1/images"
  cp docs/images/*.png "$1/images/"
  cp docs/guide-ja.md "$1/"
}

win="release/$windows_name"
cp build/release-win/shell/tamsel.exe build/release-win/cli/tamsel-cli.exe "$win/"
x86_64-w64-mingw32-strip "$win/tamsel.exe" "$win/tamsel-cli.exe"
bash tools/check-imports.sh x86_64-w64-mingw32-objdump "$win/tamsel.exe" "$win/tamsel-cli.exe"
render_guide "$win"
mkdir -p "$win/samples"
cp samples/*.EDL "$win/samples/"

lin="release/$linux_name"
cp build/release-linux/cli/tamsel-cli "$lin/"
strip "$lin/tamsel-cli"
render_guide "$lin"
mkdir -p "$lin/samples"
cp samples/*.EDL "$lin/samples/"
# What the Linux program needs of the system: glibc of this version or later, nothing else.
needed=$(objdump -p "$lin/tamsel-cli" | sed -n 's/^ *NEEDED *//p' | tr '\n' ' ')
glibc=$(objdump -T "$lin/tamsel-cli" | grep -o 'GLIBC_[0-9.]*' | sort -uV | tail -1)
log "tamsel-cli (Linux) needs: $needed($glibc or later)"
if [[ ! "$needed" =~ ^((libc|libm)\.so\.6 |ld-linux-x86-64\.so\.2 )+$ ]]; then
  log "tamsel-cli (Linux) needs more than glibc: $needed"; exit 1
fi

# ---- the packages --------------------------------------------------------------------------
find release -exec touch -h -d "@$stamp" {} +
(cd release && find "$windows_name" -print | LC_ALL=C sort |
  zip -q -X -9 "$windows_name.zip" -@)
tar -C release --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$stamp" -cf - \
  "$linux_name" | gzip -9 -n >"release/$linux_name.tar.gz"
(cd release && sha256sum "$windows_name.zip" "$linux_name.tar.gz" >SHA256SUMS)
log "wrote:"
ls -l release/*.zip release/*.tar.gz release/SHA256SUMS
unzip -l "release/$windows_name.zip"

if ((check)); then
  bash tools/check-release.sh "release/$windows_name.zip"
fi
