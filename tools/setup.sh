#!/usr/bin/env bash
# Prepares a machine to build and test the installer. Idempotent: a second run on a
# prepared machine only checks stamps and returns within a second or two.
#
#   1. Debian packages: mingw-w64, Wine, Xvfb, fonts, 7z tools, native libraries.
#   2. Libraries Debian does not ship for mingw, built from Debian's source packages
#      into a cache outside the work tree:
#        $KINST_CACHE/deps-<recipe>/<lib>/  (include/, lib/)
#
# Environment:
#   KINST_CACHE  cache root (default /var/cache/kinst)
set -euo pipefail

KINST_CACHE=${KINST_CACHE:-/var/cache/kinst}
# The cache layout; bump only when it changes (old caches stay until deleted by hand).
LAYOUT=3
DEPS=$KINST_CACHE/deps-$LAYOUT
# Each library's recipe revision: bump one when its build below changes, and only that
# library is built again.
declare -A RECIPE=([tinyxml]=1 [jsoncpp]=1 [googletest]=1 [mbedtls]=1 [7zip]=2 [curl]=1)
JOBS=$(nproc)
MINGW=x86_64-w64-mingw32

log() { printf '[setup] %s\n' "$*" >&2; }

APT_PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config dpkg-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev
  wine64 xvfb x11-apps imagemagick fonts-wqy-microhei locales
  7zip p7zip-full tinyproxy microsocks osslsigncode
  libmbedtls-dev libgtest-dev libjsoncpp-dev libtinyxml-dev zlib1g-dev
  libcurl4-openssl-dev
  openssl python3
)

install_packages() {
  local missing=()
  for p in "${APT_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  # apt-get source needs the deb-src index, so it counts as a missing piece too.
  if [ ! -f /etc/apt/sources.list.d/kinst-src.sources ]; then
    cat >/etc/apt/sources.list.d/kinst-src.sources <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    NEED_UPDATE=1
  fi
  if [ ${#missing[@]} -gt 0 ] || [ -n "${NEED_UPDATE:-}" ]; then
    log "apt: ${missing[*]:-(index only)}"
    apt-get update -qq
    [ ${#missing[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
    sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    locale-gen >/dev/null
  fi
}

# Fetches and unpacks a Debian source package (with Debian's patches) into $1.
fetch_source() {
  local pkg=$1 dir=$2
  rm -rf "$dir" && mkdir -p "$dir"
  (cd "$dir" && apt-get source -qq --only-source "$pkg" >/dev/null 2>&1 ||
     { apt-get update -qq && apt-get source -qq --only-source "$pkg" >/dev/null; })
  find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

source_version() {
  apt-cache showsrc --only-source "$1" 2>/dev/null | awk '/^Version:/ {print $2; exit}'
}

cmake_mingw() {
  local src=$1 build=$2 prefix=$3; shift 3
  cmake -S "$src" -B "$build" -G Ninja --no-warn-unused-cli \
    -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_C_COMPILER=$MINGW-gcc-posix -DCMAKE_CXX_COMPILER=$MINGW-g++-posix \
    -DCMAKE_RC_COMPILER=$MINGW-windres \
    -DCMAKE_FIND_ROOT_PATH=/usr/$MINGW \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >/dev/null
  cmake --build "$build" -j "$JOBS" >/dev/null
  cmake --install "$build" >/dev/null
}

build_curl() {
  local src; src=$(fetch_source curl "$1/src")
  cmake_mingw "$src" "$1/build" "$2" \
    -DBUILD_SHARED_LIBS=OFF -DCURL_STATICLIB=ON -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF \
    -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_WINDOWS_SSPI=ON -DENABLE_UNICODE=ON \
    -DCURL_DISABLE_LDAP=ON -DUSE_LIBIDN2=OFF -DCURL_USE_LIBPSL=OFF -DCURL_USE_LIBSSH2=OFF \
    -DUSE_NGHTTP2=OFF -DCURL_CA_PATH=none -DCURL_CA_BUNDLE=none -DCURL_ZLIB=ON
}

build_jsoncpp() {
  local src; src=$(fetch_source libjsoncpp "$1/src")
  cmake_mingw "$src" "$1/build" "$2" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF \
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF -DJSONCPP_WITH_PKGCONFIG_SUPPORT=OFF \
    -DJSONCPP_WITH_CMAKE_PACKAGE=OFF
}

build_googletest() {
  local src; src=$(fetch_source googletest "$1/src")
  cmake_mingw "$src" "$1/build" "$2" -DBUILD_SHARED_LIBS=OFF -Dgtest_disable_pthreads=OFF
}

build_mbedtls() {
  local src; src=$(fetch_source mbedtls "$1/src")
  cmake_mingw "$src" "$1/build" "$2" \
    -DENABLE_PROGRAMS=OFF -DENABLE_TESTING=OFF -DUSE_SHARED_MBEDTLS_LIBRARY=OFF \
    -DUSE_STATIC_MBEDTLS_LIBRARY=ON -DMBEDTLS_FATAL_WARNINGS=OFF
}

# TinyXML ships no build system: its four sources make one static library.
build_tinyxml() {
  local src; src=$(fetch_source tinyxml "$1/src")
  mkdir -p "$2/include" "$2/lib" "$1/obj"
  for f in tinyxml tinystr tinyxmlerror tinyxmlparser; do
    $MINGW-g++-posix -O2 -DTIXML_USE_STL -c "$src/$f.cpp" -o "$1/obj/$f.o"
  done
  $MINGW-ar rcs "$2/lib/libtinyxml.a" "$1"/obj/*.o
  cp "$src/tinyxml.h" "$src/tinystr.h" "$2/include/"
}

# The 7z reader: the file list of the extract-only 7z bundle. Its format and codecs
# register from static constructors nothing references, so the objects are pre-linked
# into one (ld -r) to keep the linker from dropping them.
build_7zip() {
  local src; src=$(fetch_source 7zip "$1/src")
  local bundle=$src/CPP/7zip/Bundles/Format7zExtractR
  local obj=$1/obj; mkdir -p "$obj"
  local files
  files=$(python3 - "$src" "$bundle" <<'EOF'
import os, re, sys
src, bundle = sys.argv[1], sys.argv[2]
text = ""
for mk in ("makefile",):
    text += open(os.path.join(bundle, mk)).read()
for mk in ("CPP/7zip/Crc.mak", "CPP/7zip/LzmaDec.mak"):
    text += open(os.path.join(src, mk)).read()
# Both branches of the nmake conditionals: the C files of the asm branch stand in.
text = re.sub(r"^!.*\n", "", text, flags=re.M)
text = text.replace("\\\n", " ")
roots = {
    "COMMON_OBJS": "CPP/Common", "WIN_OBJS": "CPP/Windows", "7ZIP_COMMON_OBJS": "CPP/7zip/Common",
    "AR_OBJS": "CPP/7zip/Archive", "AR_COMMON_OBJS": "CPP/7zip/Archive/Common",
    "7Z_OBJS": "CPP/7zip/Archive/7z", "COMPRESS_OBJS": "CPP/7zip/Compress",
    "C_OBJS": "C", "CURRENT_OBJS": "CPP/7zip/Bundles/Format7zExtractR",
}
out = []
for m in re.finditer(r"^(\w+)\s*=\s*(.*)$", text, re.M):
    var, body = m.group(1), m.group(2)
    if var not in roots and not var.endswith("_OBJS"):
        continue
    for tok in body.split():
        t = re.match(r"\$O\\(\w+)\.obj", tok)
        if not t:
            continue
        name = t.group(1)
        # Asm variants are not built: C fallbacks stand in.
        for root in ([roots[var]] if var in roots else []) + list(roots.values()):
            for ext in (".cpp", ".c"):
                p = os.path.join(root, name + ext)
                if os.path.exists(os.path.join(src, p)):
                    out.append(p); break
            else:
                continue
            break
seen = []
for p in out:
    if p not in seen:
        seen.append(p)
print("\n".join(seen))
EOF
)
  local defs="-DZ7_EXTRACT_ONLY -DZ7_NO_CRYPTO -D_REENTRANT -DNDEBUG -DUNICODE -D_UNICODE -DWIN_LONG_PATH"
  local objs=()
  for f in $files; do
    local o=$obj/$(echo "$f" | tr '/' '_').o
    case $f in
      *.c) $MINGW-gcc-posix -O2 $defs -c "$src/$f" -o "$o" ;;
      *) $MINGW-g++-posix -O2 -std=gnu++14 -Wno-deprecated -Wno-class-memaccess $defs -c "$src/$f" -o "$o" ;;
    esac
    objs+=("$o")
  done
  mkdir -p "$2/lib" "$2/include/7zip"
  $MINGW-ld -r -o "$obj/7zr-all.o" "${objs[@]}"
  $MINGW-ar rcs "$2/lib/lib7zr.a" "$obj/7zr-all.o"
  (cd "$src" && find C CPP -name '*.h' -exec cp --parents {} "$2/include/7zip/" \;)
}

# The stamp holds the source version and the recipe revision the library was built with.
build_dep() {
  local lib=$1 pkg=$2 stamp=$DEPS/$1.stamp
  local recipe="recipe ${RECIPE[$lib]}"
  [ -f "$stamp" ] && [ "$(sed -n 2p "$stamp")" = "$recipe" ] && return 0
  local work=$KINST_CACHE/work/$lib prefix=$DEPS/$lib
  log "building $lib from Debian source package $pkg"
  rm -f "$stamp"
  rm -rf "$work" "$prefix"; mkdir -p "$work"
  local start=$SECONDS
  "build_$lib" "$work" "$prefix"
  printf '%s\n%s\n' "$(source_version "$pkg")" "$recipe" >"$stamp"
  rm -rf "$work"
  log "$lib $(head -n 1 "$stamp") built in $((SECONDS - start)) s"
}

main() {
  install_packages
  mkdir -p "$DEPS"
  build_dep tinyxml tinyxml
  build_dep jsoncpp libjsoncpp
  build_dep googletest googletest
  build_dep mbedtls mbedtls
  build_dep 7zip 7zip
  build_dep curl curl
  echo "$DEPS"
}

main "$@"
