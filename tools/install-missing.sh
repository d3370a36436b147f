# shellcheck shell=bash
# Installs the Debian packages this machine lacks: sourced, not run (bootstrap, tools/).
# apt-get as root, or through sudo, waiting for another apt-get to finish. Everything goes to
# stderr: some scripts print their result on stdout (tools/qt5-mingw.sh, the Qt folder).
install_missing() { # [--i386] packages... (--i386: add that architecture first, for wine32)
    local add_i386=0 updated=0 missing=() p sudo=()
    if [ "${1:-}" = --i386 ]; then
        add_i386=1
        shift
    fi
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    if [ "$add_i386" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "Adding the i386 architecture (for wine32)" >&2
        "${sudo[@]}" dpkg --add-architecture i386
        updated=1
    fi
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -gt 0 ] || [ "$updated" = 1 ] || return 0
    [ ${#missing[@]} -eq 0 ] || echo "Installing: ${missing[*]}" >&2
    "${sudo[@]}" apt-get update -qq >&2
    [ ${#missing[@]} -eq 0 ] ||
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
            --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}" >&2
}
