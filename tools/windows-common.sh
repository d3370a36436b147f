# shellcheck shell=bash
# Shared by the Windows checks (tools/windows-check.sh, tools/windows-gui-check.sh): sourced,
# not run.

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# Does this machine run 32-bit x86 programs? Some kernels refuse them ("IA-32 emulation off"):
# execve of an i386 program fails with "Exec format error", and wine32 can't start. The probe
# is the smallest i386 Linux program (exit(0) through int 0x80); only that refusal means no.
#   VANTER_WINDOWS_32BIT=0|1   answer without probing
runs_32bit() { # scratch folder
    case ${VANTER_WINDOWS_32BIT:-} in
    0) return 1 ;;
    1) return 0 ;;
    esac
    local probe status=0 why
    mkdir -p "$1"
    probe=$(mktemp "$1/i386-probe.XXXXXX")
    base64 -d >"$probe" <<<'f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhbAAAAWwAAAAUAAAAAEAAAMdsxwEDNgA=='
    chmod +x "$probe"
    # Run by bash itself: execvp (env, timeout, perl) would hand a refused program to sh.
    why=$(
        export LC_ALL=C
        "$probe" 2>&1
    ) || status=$?
    rm -f "$probe"
    ! [[ $status -eq 126 && $why == *"Exec format error"* ]]
}

# Installs the packages not yet installed; with 1 first, adds the i386 architecture (wine32).
install_missing() { # 0|1, packages...
    local add_i386=$1 updated='' missing=() p
    shift
    if [ "$add_i386" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "Adding the i386 architecture (for wine32)"
        "${sudo[@]}" dpkg --add-architecture i386
        updated=no
    fi
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -eq 0 ] && [ -z "$updated" ]; then
        return 0
    fi
    "${sudo[@]}" apt-get update -qq
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
            --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}"
    fi
}
