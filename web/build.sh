#!/usr/bin/env bash
# Builds the web page: index.html and dosvfont.js (the WebAssembly inside)
# in OUTDIR (default build-web/site), ready for any static web host or to
# be opened from disk.
#
#   web/build.sh [OUTDIR]
#
# Needs Debian's emscripten, cmake, g++, dpkg-dev and the -dev packages the
# native build needs. zlib, libpng and FreeType are built from Debian's
# source packages of the installed versions (web/deps.sh), the code-set
# tables from this machine's iconv (src/codes/gentables.cpp); all of it is kept
# under build-web, and a second run rebuilds only what changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build-web/site}
work=$root/build-web

# Debian's emscripten runs its JavaScript tools with node, which finds
# them through NODE_PATH.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
echo "web/build.sh: NODE_PATH=$NODE_PATH, where Debian's emscripten finds its JavaScript tools"

"$root/web/deps.sh" "$work/deps"

# The tables, made by a native build's program from the host's iconv.
cmake -S "$root" -B "$work/host" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$work/host" --target generated >/dev/null

emcmake cmake -S "$root/web" -B "$work/wasm" -DCMAKE_BUILD_TYPE=Release \
  "-DDEPS=$work/deps/prefix" "-DTABLES=$work/host/gen/codetables.cpp" \
  "-DBLOCKS=$work/host/gen/unicodeblocks.cpp" >/dev/null
cmake --build "$work/wasm" -j2 >/dev/null

# dosvfont.js: the page's interface with the module inside it.
mkdir -p "$out"
awk -v core="$work/wasm/dosvfont_core.js" '
  /\/\* @CORE@ \*\// { while ((getline line < core) > 0) print line; next }
  { print }' "$root/web/dosvfont.in.js" > "$out/dosvfont.js"
# index.html with the page's ES modules in it, one script each for the
# editor and the page: a page opened from disk may not load modules. A
# module's imports are the modules before it; their names are the
# bundle's own.
bundle() {
  local dir=$1
  shift
  echo '<script>(() => {'
  echo '"use strict";'
  for m in "$@"; do
    sed -e '/^import .*;$/d' -e 's/^export //' "$root/web/$dir/$m.js"
  done
  echo '})();</script>'
}
{
  bundle editor glyph fontx edits sheet view main
  bundle page dom run options names session editing main
} > "$out/page.inline"
awk -v f="$out/page.inline" '
  /<script type="module" src="page\/main.js"><\/script>/ {
    while ((getline l < f) > 0) print l; next }
  { print }' "$root/web/index.html" > "$out/index.html"
rm "$out/page.inline"
echo "web/build.sh: $out/index.html and $out/dosvfont.js ($(du -k "$out/dosvfont.js" | cut -f1) KB)"
