# shellcheck shell=bash
# Shared by the Windows checks (tools/windows-check.sh, tools/windows-gui-check.sh): sourced,
# not run.

# shellcheck source=tools/install-missing.sh
. "${BASH_SOURCE[0]%/*}/install-missing.sh"

# Does this machine run 32-bit x86 programs? Some kernels refuse them ("IA-32 emulation off"):
# execve of an i386 program fails with "Exec format error", and wine32 can't start. The probe
# is the smallest i386 Linux program (exit(0) through int 0x80); only that refusal means no.
runs_32bit() { # scratch folder
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

# --- Exit handlers: every way out (an error, Ctrl+C, a kill) runs them, last added first -------
exit_handlers=()
at_exit() { exit_handlers=("$1" "${exit_handlers[@]}"); }
run_exit_handlers() {
    local handler
    for handler in "${exit_handlers[@]}"; do eval "$handler" || true; done
    exit_handlers=()
}
trap run_exit_handlers EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# --- 32-bit programs through QEMU's user mode, where the kernel refuses them -----------------
# qemu-i386 of Debian's bookworm-backports (bookworm's own 7.2 cannot run wine32), fetched
# through a private apt configuration (the machine's sources stay as they are) into the cache,
# and registered with binfmt_misc for this run only: the F flag opens it now, so it serves
# every i386 program the run starts. The handler goes again on every way out, and
# binfmt_misc is unmounted if this run mounted it and nothing else is registered.
qemu_cache=${XDG_CACHE_HOME:-$HOME/.cache}/vanter3/qemu-user
qemu_suite=bookworm-backports

# Prints the path of a qemu-i386 from the cache, fetching it first when missing.
fetch_qemu_i386() {
    local found apt_dir=$qemu_cache/apt mirror keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    found=$(compgen -G "$qemu_cache/*/qemu-i386" | sort -V | tail -n1 || true)
    if [ -n "$found" ]; then
        echo "$found"
        return 0
    fi
    command -v apt-get >/dev/null && command -v dpkg-deb >/dev/null || return 1
    mirror=$(sed -nE -e 's/^[[:space:]]*URIs:[[:space:]]*//p' \
        -e 's/^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+).*/\2/p' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
        2>/dev/null | tr ' ' '\n' | sed 's:/*$::' | grep -E '/debian$' | head -n1 || true)
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$qemu_cache/download"
    echo "deb [signed-by=$keyring] ${mirror:-http://deb.debian.org/debian} $qemu_suite main" \
        >"$apt_dir/sources.list"
    local options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
        -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
        -o "Dir::State::status=/dev/null" -o APT::Sandbox::User=root -qq)
    echo "Fetching qemu-user from $qemu_suite (${mirror:-http://deb.debian.org/debian})" >&2
    apt-get "${options[@]}" update >&2 || return 1
    (cd "$qemu_cache/download" && rm -f qemu-user_*.deb &&
        apt-get "${options[@]}" download qemu-user >&2) || return 1
    local deb version
    deb=$(ls "$qemu_cache/download"/qemu-user_*.deb) || return 1
    version=$(dpkg-deb -f "$deb" Version)
    rm -rf "$qemu_cache/unpacked"
    dpkg-deb -x "$deb" "$qemu_cache/unpacked" || return 1
    # Only qemu-i386 is wanted (static: it needs nothing else of the package).
    mkdir -p "$qemu_cache/${version//[:~]/_}"
    mv "$qemu_cache/unpacked/usr/bin/qemu-i386" "$qemu_cache/${version//[:~]/_}/"
    rm -rf "$qemu_cache/unpacked" "$deb"
    echo "$qemu_cache/${version//[:~]/_}/qemu-i386"
}

binfmt=/proc/sys/fs/binfmt_misc
qemu_handler=''
# Registers qemu-i386 for i386 programs, for this run. Sets qemu_why when that can't be done.
enable_qemu_i386() {
    local qemu mounted=''
    qemu_why=''
    if [ "$(id -u)" -ne 0 ]; then
        qemu_why="registering a binfmt_misc handler needs root"
        return 1
    fi
    qemu=$(fetch_qemu_i386) || {
        qemu_why="qemu-user could not be fetched from $qemu_suite"
        return 1
    }
    if [ ! -e "$binfmt/register" ]; then
        mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || {
            qemu_why="binfmt_misc can't be mounted at $binfmt"
            return 1
        }
        mounted=1
    fi
    # The run's own name: runs side by side each keep theirs.
    qemu_handler=vanter-i386-$$
    at_exit "disable_qemu_i386 '$mounted'"
    printf ':%s:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:%s:F\n' \
        "$qemu_handler" "$qemu" >"$binfmt/register" 2>/dev/null || {
        qemu_why="binfmt_misc refused the handler for $qemu"
        qemu_handler=''
        return 1
    }
    # Qt takes AVX2 code paths where the processor reports them, and qemu-i386 runs some of
    # them as illegal instructions (vpmaskmovd in Qt5Gui): a processor model without AVX.
    export QEMU_CPU=${QEMU_CPU:-Nehalem}
    echo "32-bit programs through $("$qemu" --version | head -n1) ($qemu, processor $QEMU_CPU), registered as $binfmt/$qemu_handler for this run"
}
disable_qemu_i386() { # 1 when this run mounted binfmt_misc
    if [ -n "$qemu_handler" ] && [ -e "$binfmt/$qemu_handler" ]; then
        echo -1 >"$binfmt/$qemu_handler"
        echo "Removed the binfmt_misc handler $qemu_handler"
    fi
    qemu_handler=''
    local entry
    [ "$1" = 1 ] || return 0
    for entry in "$binfmt"/*; do
        case ${entry##*/} in register | status) ;; *) return 0 ;; esac
    done
    umount "$binfmt" 2>/dev/null || true
}

# The binfmt_misc handlers, not this run's, that serve i386 programs: another run's, or the
# system's.
i386_handlers_of_others() {
    local entry magic
    for entry in "$binfmt"/*; do
        case ${entry##*/} in register | status | "$qemu_handler") continue ;; esac
        grep -qx enabled "$entry" 2>/dev/null || continue
        magic=$(sed -n 's/^magic //p' "$entry")
        # The ELF header of a 32-bit little-endian program for the 80386 (machine 3).
        if [[ $magic == 7f454c460101* && ${magic:36:4} == 0300 ]]; then
            echo "${entry##*/}"
        fi
    done
}

# shellcheck disable=SC2034 # bits, bits_why and through_qemu are for the scripts
# Decides the way: 32 (sets bits=32, through qemu where needed) or 64, saying why.
#   VANTER_WINDOWS_32BIT=0 the 64-bit way; =1 the 32-bit way (through QEMU if the kernel
#   refuses i386 programs); unset: 32-bit wherever it can be had.
choose_bits() { # scratch folder
    through_qemu=0
    if [ "${VANTER_WINDOWS_32BIT:-}" = 0 ]; then
        bits=64 bits_why="VANTER_WINDOWS_32BIT=0"
        return 0
    fi
    # Where a handler is registered already, the probe passes through it and says nothing of
    # the kernel; and another run's handler goes when that run ends, under this one's programs.
    # So this run then registers its own.
    local others
    others=$(i386_handlers_of_others | tr '\n' ' ')
    if [ -z "$others" ] && runs_32bit "$1"; then
        bits=32 bits_why="the kernel runs 32-bit programs"
        return 0
    fi
    if enable_qemu_i386 && runs_32bit "$1"; then
        bits=32 through_qemu=1
        bits_why="the kernel refuses 32-bit programs; they run through QEMU's user mode"
        [ -z "$others" ] || bits_why="another handler (${others% }) may go before this run ends; \
the 32-bit programs run through QEMU's user mode with this run's own handler"
        return 0
    fi
    if [ -n "$others" ] && runs_32bit "$1"; then
        bits=32 through_qemu=1
        export QEMU_CPU=${QEMU_CPU:-Nehalem}
        bits_why="the 32-bit programs run through the handler registered already (${others% }), \
which may go before this run ends (${qemu_why:-the probe failed with a handler of this run})"
        return 0
    fi
    [ -n "${qemu_why:-}" ] || qemu_why="the i386 probe still fails with QEMU registered"
    if [ "${VANTER_WINDOWS_32BIT:-}" = 1 ]; then
        echo "VANTER_WINDOWS_32BIT=1, but this machine can't run 32-bit programs: $qemu_why" >&2
        exit 1
    fi
    bits=64
    bits_why="the kernel refuses 32-bit programs (Exec format error) and QEMU can't stand in: $qemu_why"
}

# The wine loader of the chosen way, named explicitly: /usr/bin/wine takes the 32-bit one
# whenever wine32 is installed, which fails on a 64-bit way where the kernel refuses it.
use_wine() { # 32 or 64
    if [ "$1" = 32 ]; then
        wine_loader=/usr/lib/wine/wine
    else
        wine_loader=/usr/lib/wine/wine64
    fi
    export WINELOADER=$wine_loader
}
wine() { "$wine_loader" "$@"; }

# A private wine prefix of the chosen way (use_wine first), its server stopped on every way out
# (a subshell stops its own: the run's handlers don't run there).
#   fresh: made anew; kept: made only when missing (a build folder's, kept between runs)
#   headless: no display for the programs (else the caller's DISPLAY)
#   server: one persistent server for the whole run, and wine's own services started now
#   rather than by the first program: they would hold its output open, and ctest would wait.
start_wine() { # prefix, win32|win64, fresh|kept, [headless] [server]
    local prefix=$1 winearch=$2 how=$3 option headless=0 server=0
    shift 3
    for option in "$@"; do
        case $option in
        headless) headless=1 ;;
        server) server=1 ;;
        *) echo "start_wine: unknown option $option" >&2 && return 2 ;;
        esac
    done
    export WINEPREFIX=$prefix WINEARCH=$winearch WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=" # no .NET or HTML engine wanted, no prompts
    [ "$headless" = 0 ] || unset DISPLAY WAYLAND_DISPLAY
    [ "$how" = kept ] || rm -rf "$WINEPREFIX"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        [ "$how" = fresh ] || echo "Making the wine prefix $WINEPREFIX"
        wineboot -i >/dev/null 2>&1 </dev/null
        wineserver -w
    fi
    if [ "$server" = 1 ]; then
        wineserver -p >/dev/null 2>&1 || true # one may be running already
    fi
    at_exit "WINEPREFIX='$WINEPREFIX' wineserver -k >/dev/null 2>&1"
    [ "$server" = 0 ] || wine cmd /c exit >/dev/null 2>&1 </dev/null
}
wineboot() { "$wine_loader" wineboot "$@"; }
winepath() { "$wine_loader" winepath "$@"; }
