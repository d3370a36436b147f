#!/usr/bin/env bash
# Builds Qt 5.15 (qtbase: Core, Gui, Widgets, Test, the windows and offscreen platform plugins,
# the Windows styles) for Windows with Debian's MinGW-w64 from Debian's own source package, and
# installs it into a cache folder keyed by architecture and source version. With the cache
# present it only prints the folder.
#   tools/qt5-mingw.sh [--cached] [i686|x86_64] [folder]
#       --cached: only look: print a Qt already built (the newest for the architecture) or fail
#       with status 3; no network, no installs, no build.
#       i686 (default): the Qt of the program that loads the maker's 32-bit PortGate.DLL;
#       x86_64: for machines that run 64-bit code only (the stand-in under wine64).
#       folder: where Qt goes (default ~/.cache/vanter3/qt5-mingw-<arch>-<version>)
#   VANTER_CACHE_DIR   cache root (default ${XDG_CACHE_HOME:-~/.cache}/vanter3): the source
#                      package, the private apt state and the Qt folders
#   VANTER_QT5_JOBS    parallel compile jobs (default: the number of cores)
#   VANTER_QT5_KEEP_BUILD=1  keep the build folder after installing
# The last line of the output is the Qt folder, for CMAKE_PREFIX_PATH. The MinGW runtime DLLs
# go into its bin/ beside Qt's, so programs linked to it run with only that folder on the path.
# The source comes through a private apt configuration (a deb-src list, its own state and
# cache) on the mirror the machine already uses; the machine's own lists stay untouched.
# Installs what is missing with apt-get (as root, or through sudo).
set -euo pipefail
# shellcheck source=tools/install-missing.sh
. "$(dirname "$0")/install-missing.sh"

cached_only=0
if [ "${1:-}" = --cached ]; then
    cached_only=1
    shift
fi
arch=${1:-i686}
case $arch in
i686 | x86_64) ;;
*)
    echo "usage: $0 [--cached] [i686|x86_64] [folder]" >&2
    exit 2
    ;;
esac
triplet=$arch-w64-mingw32
cache=${VANTER_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vanter3}
jobs=${VANTER_QT5_JOBS:-$(nproc)}
stamp_name=.vanter-qt5-installed
source_package=qtbase-opensource-src

# A Qt folder is usable once its stamp exists: written last, after a whole install.
usable() { [ -f "$1/$stamp_name" ]; }

# --- where the source comes from: a private apt configuration --------------------------------
apt_dir=$cache/apt
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
    -o "Dir::State::status=/dev/null" -o APT::Sandbox::User=root -qq)

# The first URI the machine's own sources name for a path ending in /$1 (debian or
# debian-security), in either sources format.
machine_mirror() {
    local files=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
    local f
    for f in "${files[@]}"; do
        [ -f "$f" ] || continue
        sed -nE -e 's/^[[:space:]]*URIs:[[:space:]]*//p' \
            -e 's/^[[:space:]]*deb(-src)?[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+).*/\3/p' "$f" |
            tr ' ' '\n' | sed 's:/*$::' | grep -E "/$1\$" || true
    done | head -n1
}

write_sources_list() {
    local suite debian security keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [ -n "$suite" ] || suite=bookworm
    debian=$(machine_mirror debian)
    security=$(machine_mirror debian-security)
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    {
        echo "deb-src [signed-by=$keyring] ${debian:-http://deb.debian.org/debian} $suite main"
        echo "deb-src [signed-by=$keyring] ${debian:-http://deb.debian.org/debian} $suite-updates main"
        echo "deb-src [signed-by=$keyring] ${security:-http://deb.debian.org/debian-security} $suite-security main"
    } >"$apt_dir/sources.list.new"
    mv "$apt_dir/sources.list.new" "$apt_dir/sources.list"
}

# The newest source version the private lists know, or nothing when they are absent.
known_version() {
    [ -f "$apt_dir/sources.list" ] && compgen -G "$apt_dir/lists/*Sources*" >/dev/null || return 0
    apt-cache "${apt_options[@]}" showsrc "$source_package" 2>/dev/null |
        sed -n 's/^Version: //p' | sort -V | tail -n1
}

update_lists() {
    write_sources_list
    echo "Reading the source lists ($(grep -o 'http[^ ]*' "$apt_dir/sources.list" | sort -u | tr '\n' ' '))" >&2
    apt-get "${apt_options[@]}" update >&2
}

# --- the cache: a stamped folder needs no network at all -------------------------------------
qt_folder() { echo "${2:-$cache/qt5-mingw-$arch-${1//[:~]/_}}"; }

version=$(known_version)
if [ -z "$version" ] || [ "$cached_only" = 1 ]; then
    # No lists yet: a Qt already built from an earlier source serves until the lists are read.
    if [ -n "${2:-}" ] && usable "$2"; then
        echo "$2"
        exit 0
    fi
    newest=$(compgen -G "$cache/qt5-mingw-$arch-*/$stamp_name" | sort -V | tail -n1 || true)
    if [ -z "${2:-}" ] && [ -n "$newest" ]; then
        dirname "$newest"
        exit 0
    fi
fi

prefix=$(qt_folder "$version" "${2:-}")
if [ -n "$version" ] && usable "$prefix"; then
    echo "$prefix"
    exit 0
fi
if [ "$cached_only" = 1 ]; then
    echo "No Qt for $triplet in ${2:-$cache} (tools/qt5-mingw.sh $arch builds it)" >&2
    exit 3
fi

# One build per architecture at a time (they share the build folder): a second run waits for
# the first, then takes the Qt it built.
mkdir -p "$cache"
exec 9>"$cache/.qt5-mingw-$arch.lock"
if ! flock -n 9; then
    echo "Another run is building Qt for $triplet: waiting for it" >&2
    flock 9
fi
if [ -n "$version" ] && usable "$prefix"; then
    echo "$prefix"
    exit 0
fi

# --- a cold build: what it needs -------------------------------------------------------------
started=$SECONDS
install_missing dpkg-dev perl python3 make g++ "g++-mingw-w64-${arch//_/-}-posix"

if [ -z "$version" ]; then
    update_lists
    version=$(known_version)
    [ -n "$version" ] || {
        echo "No $source_package in $apt_dir/sources.list" >&2
        exit 1
    }
    prefix=$(qt_folder "$version" "${2:-}")
    if usable "$prefix"; then
        echo "$prefix"
        exit 0
    fi
fi
echo "Building Qt $version for $triplet into $prefix" >&2

# The source package, fetched once and unpacked with Debian's patches applied.
src_root=$cache/src
source_dir=$src_root/$source_package-${version//[:~]/_}
if [ ! -f "$source_dir/.unpacked" ]; then
    mkdir -p "$src_root/download"
    dsc=$(compgen -G "$src_root/download/${source_package}_${version#*:}.dsc" || true)
    if [ -z "$dsc" ]; then
        [ -f "$apt_dir/sources.list" ] || update_lists
        (cd "$src_root/download" && apt-get "${apt_options[@]}" source --download-only \
            "$source_package=$version" >&2) || {
            # The lists may be older than the archive: read them again once.
            update_lists
            (cd "$src_root/download" && apt-get "${apt_options[@]}" source --download-only \
                "$source_package=$version" >&2)
        }
        dsc=$src_root/download/${source_package}_${version#*:}.dsc
    fi
    rm -rf "$source_dir"
    dpkg-source --no-check -x "$dsc" "$source_dir" >/dev/null
    touch "$source_dir/.unpacked"
fi

# Only what the program and its tests use; Debian's source lacks the Wintab headers, hence no
# tablet events.
configure_args=(-xplatform win32-g++ -device-option "CROSS_COMPILE=$triplet-" -platform linux-g++
    -prefix "$prefix" -opensource -confirm-license -release -strip -nomake examples -nomake tests
    -no-opengl -no-dbus -no-icu -no-feature-sql -no-feature-network -no-feature-tabletevent
    -qt-zlib -qt-pcre -qt-libpng -no-libjpeg -qt-freetype -qt-harfbuzz)

# A build folder configured the same way is taken up again where an interrupted run left it.
build=$cache/build-qt5-mingw-$arch
configured=$build/.vanter-configured
if [ "$(cat "$configured" 2>/dev/null)" != "$source_dir ${configure_args[*]}" ]; then
    rm -rf "$build"
fi
# qmake's win32-g++ names $CROSS_COMPILE-gcc and -g++; Debian's default for those names is the
# win32 thread model, whose libstdc++ lacks std::mutex (Qt Test needs it). The posix ones,
# under the plain names, first on the path.
mkdir -p "$build/compilers"
for tool in gcc g++; do
    ln -sf "$(command -v "$triplet-$tool-posix")" "$build/compilers/$triplet-$tool"
done
export PATH=$build/compilers:$PATH
cd "$build"
log=$build/build.log
step() { # what, make arguments...
    echo "  $1" >&2
    shift
    make "$@" >>"$log" 2>&1 || {
        tail -n 40 "$log" >&2
        echo "Failed: see $log" >&2
        exit 1
    }
}
if [ ! -f "$configured" ]; then
    echo "  configuring" >&2
    "$source_dir/configure" "${configure_args[@]}" >"$log" 2>&1 || {
        tail -n 40 "$log" >&2
        echo "Qt's configure failed: see $log" >&2
        exit 1
    }
    echo "$source_dir ${configure_args[*]}" >"$configured"
fi

# The modules through their targets in src/, which build what each needs first (the host
# tools moc, rcc and uic, the bundled libraries); then the plugins, each in its folder.
modules=(winmain testlib platformsupport)
module_targets=() module_installs=()
for module in "${modules[@]}"; do
    module_targets+=("sub-$module-make_first")
    module_installs+=("sub-$module-install_subtargets")
done
plugins=(platforms/windows platforms/offscreen platforms/minimal styles imageformats)
step "making the Makefiles of src/" sub-src-qmake_all
step "building Core, Gui, Widgets, Test, the platform support libraries, qtmain" \
    -C src -j"$jobs" "${module_targets[@]}"
for plugin in "${plugins[@]}"; do
    step "building plugins/$plugin" -C "src/plugins/$plugin" -j"$jobs"
done

rm -rf "$prefix"
step "installing into $prefix" -C src "${module_installs[@]}"
for plugin in "${plugins[@]}"; do
    step "installing plugins/$plugin" -C "src/plugins/$plugin" install
done
step "installing qmake and the mkspecs" install_mkspecs sub-qmake-qmake-aux-pro-install_subtargets

# MinGW's runtime DLLs, which Qt's DLLs import: libgcc's (exception model per architecture),
# libstdc++'s and winpthread's.
runtime=()
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libgcc_s_dw2-1.dll libwinpthread-1.dll; do
    found=$("$triplet-g++-posix" -print-file-name="$dll")
    if [ "$found" != "$dll" ]; then runtime+=("$found"); fi
done
[ ${#runtime[@]} -ge 3 ] || {
    echo "MinGW's runtime DLLs not found (${runtime[*]})" >&2
    exit 1
}
cp "${runtime[@]}" "$prefix/bin/"

[ "${VANTER_QT5_KEEP_BUILD:-0}" = 1 ] || rm -rf "$build"
echo "$version $triplet built in $((SECONDS - started)) s on $(nproc) cores" >"$prefix/$stamp_name"
echo "Qt $version for $triplet built in $((SECONDS - started)) s" >&2
echo "$prefix"
