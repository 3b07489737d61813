#!/usr/bin/env bash
# Builds zlib, libpng and FreeType for the web page with Debian's emcc, from
# Debian's source packages of the very versions installed on this machine
# (their -dev packages), so that the page and the native programs read and
# draw fonts with the same library. The sources come through `apt-get
# source` with a temporary apt configuration of our own: the machine's
# sources, as deb-src entries, and lists and cache in a folder of ours;
# the machine's own apt configuration is not touched. Nothing is fetched
# from anywhere but the Debian archive the machine already uses.
#
# Usage: web/deps.sh DIR   (the libraries and headers end up in DIR/prefix;
# a second run with the same versions does nothing)
set -euo pipefail
dir=$(mkdir -p "$1" && cd "$1" && pwd)
prefix=$dir/prefix

# Debian's emscripten finds its JavaScript tools through NODE_PATH.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

version() { dpkg-query -W -f='${Version}' "$1"; }
srcname() { dpkg-query -W -f='${source:Package}' "$1"; }
declare -A want=(
  [zlib]="$(srcname zlib1g-dev)=$(version zlib1g-dev)"
  [libpng]="$(srcname libpng-dev)=$(version libpng-dev)"
  [freetype]="$(srcname libfreetype-dev)=$(version libfreetype-dev)"
)
stamp="${want[zlib]} ${want[libpng]} ${want[freetype]}"
if [ -f "$prefix/stamp" ] && [ "$(cat "$prefix/stamp")" = "$stamp" ]; then
  echo "web/deps.sh: $stamp already built in $prefix"
  exit 0
fi
rm -rf "$prefix" "$dir/src"
mkdir -p "$dir/src" "$dir/apt/lists/partial" "$dir/apt/cache/archives/partial" \
  "$dir/apt/parts"

# The machine's sources, as source entries, in our own configuration.
: > "$dir/apt/sources.list"
if [ -f /etc/apt/sources.list ]; then
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list \
    >> "$dir/apt/sources.list"
fi
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  sed 's/^Types:.*/Types: deb-src/' "$f" > "$dir/apt/parts/$(basename "$f")"
done
for f in /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" \
    > "$dir/apt/parts/$(basename "$f")"
done
apt=(apt-get -q -o "Dir::Etc::sourcelist=$dir/apt/sources.list"
  -o "Dir::Etc::sourceparts=$dir/apt/parts"
  -o "Dir::State::Lists=$dir/apt/lists"
  -o "Dir::Cache=$dir/apt/cache"
  -o "APT::Sandbox::User=root")
"${apt[@]}" update >/dev/null

# The version installed; where the archive no longer serves it (its index
# can list a version whose files are gone), the newest it serves of the
# same upstream version, said so.
fetch() {
  local pkg=${1%%=*} ver=${1#*=} v
  if (cd "$dir/src" && "${apt[@]}" source "$pkg=$ver" >/dev/null 2>&1); then
    built+=" $pkg=$ver"
    return
  fi
  local upstream=${ver#*:}
  upstream=${upstream%-*}
  for v in $(apt-cache -o "Dir::Etc::sourcelist=$dir/apt/sources.list" \
    -o "Dir::Etc::sourceparts=$dir/apt/parts" \
    -o "Dir::State::Lists=$dir/apt/lists" -o "Dir::Cache=$dir/apt/cache" \
    showsrc "$pkg" | sed -n 's/^Version: //p' | sort -u -r -V); do
    local up=${v#*:}
    [ "${up%-*}" = "$upstream" ] && [ "$v" != "$ver" ] || continue
    if (cd "$dir/src" && "${apt[@]}" source "$pkg=$v" >/dev/null 2>&1); then
      echo "web/deps.sh: $pkg $ver is not served; building $v instead" >&2
      built+=" $pkg=$v"
      return
    fi
  done
  echo "web/deps.sh: cannot fetch the source of $pkg $ver" >&2
  exit 1
}
built=""
for p in "${want[zlib]}" "${want[libpng]}" "${want[freetype]}"; do fetch "$p"; done

cflags="-O2"
# zlib: its library sources as its makefile lists them, but the gz* file
# functions, which neither FreeType nor libpng calls.
z=$(ls -d "$dir"/src/zlib-*/ | head -1)
mkdir -p "$prefix/lib" "$prefix/include" "$dir/obj/zlib"
for c in adler32 compress crc32 deflate infback inffast inflate inftrees trees \
  uncompr zutil; do
  emcc $cflags -c "$z/$c.c" -o "$dir/obj/zlib/$c.o"
done
emar rcs "$prefix/lib/libz.a" "$dir"/obj/zlib/*.o
cp "$z/zlib.h" "$z/zconf.h" "$prefix/include/"

# libpng and FreeType with their CMake builds, static, against that zlib.
common=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_INSTALL_PREFIX=$prefix"
  "-DCMAKE_PREFIX_PATH=$prefix" "-DZLIB_INCLUDE_DIR=$prefix/include"
  "-DZLIB_LIBRARY=$prefix/lib/libz.a")
png=$(ls -d "$dir"/src/libpng1.6-*/ | head -1)
emcmake cmake -S "$png" -B "$dir/obj/png" "${common[@]}" -DPNG_SHARED=OFF \
  -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF >/dev/null
cmake --build "$dir/obj/png" -j2 >/dev/null
cmake --install "$dir/obj/png" >/dev/null
ft=$(ls -d "$dir"/src/freetype-*/ | head -1)
emcmake cmake -S "$ft" -B "$dir/obj/freetype" "${common[@]}" \
  -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
  -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON >/dev/null
cmake --build "$dir/obj/freetype" -j2 >/dev/null
cmake --install "$dir/obj/freetype" >/dev/null
echo "$stamp" > "$prefix/stamp"
echo "web/deps.sh: built$built in $prefix"
