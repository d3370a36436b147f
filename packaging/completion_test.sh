#!/usr/bin/env bash
# The bash completion of vanter3-cli, called as bash calls it, with and without bash-completion's
# helpers loaded; its commands and options are those that `vanter3-cli --help` lists.
# Usage: completion_test.sh COMPLETION-FILE VANTER3-CLI
set -uo pipefail
export LC_ALL=C
completion=$(realpath "$1")
cli=$(realpath "$2")
failures=0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/boards" "$work/old"
touch "$work/board.in3" "$work/SPARE.IN3" "$work/notes.txt" "$work/boards/main.in3" \
    "$work/-odd.in3"
cd "$work" || exit 1

# Completes the words of a command line whose last word is being typed.
complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    _vanter3_cli vanter3-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

expect() {
    local want=$1
    shift
    local got
    got=$(complete_line "$@")
    if [ "$got" != "$want" ]; then
        echo "FAIL ($mode): '$*' completes to '$got', expected '$want'" >&2
        failures=$((failures + 1))
    fi
}

run_cases() {
    expect 'check download map show split validate ' vanter3-cli ''
    expect 'download ' vanter3-cli d
    expect 'check download map show split validate ' vanter3-cli -w ''
    expect "--base --config --force --from --help --json --lanes --order --output --part --to \
--version --watch " vanter3-cli --
    expect '--help --json --version ' vanter3-cli map -
    expect '--base --config --force --from --help --lanes --order --output --part --to --version ' \
        vanter3-cli split --
    expect '2 4 ' vanter3-cli split --lanes ''
    expect '27010 27020 27040 27080 ' vanter3-cli split -n 2 --part 270
    expect 'srec ' vanter3-cli split --to = s
    expect '-odd.in3 SPARE.IN3 board.in3 boards notes.txt old ' vanter3-cli split -n 2 ''
    expect 'board.in3 boards ' vanter3-cli split -c b
    expect '' vanter3-cli split -o x notes.txt ''
    expect '--help --version --watch ' vanter3-cli download -
    expect '--help --json --version ' vanter3-cli show --
    expect '--help --version ' vanter3-cli check -
    expect '-odd.in3 SPARE.IN3 board.in3 boards old ' vanter3-cli download ''
    expect 'board.in3 boards ' vanter3-cli download --watch b
    expect 'boards/main.in3 ' vanter3-cli show boards/
    expect '' vanter3-cli show board.in3 ''
    expect '-odd.in3 ' vanter3-cli check -- -
}

# shellcheck source=/dev/null
source "$completion"
mode='plain bash'
run_cases

if [ -r /usr/share/bash-completion/bash_completion ]; then
    # shellcheck source=/dev/null
    source /usr/share/bash-completion/bash_completion
    source "$completion"
    mode='with bash-completion'
    run_cases
else
    echo "bash-completion is not installed: completion tried in plain bash only"
fi

# Every command and long option of the help is offered.
help=$("$cli" --help)
commands=$(sed -n '/^Commands:/,/^$/s/^  \([a-z]\+\) .*/\1/p' <<<"$help" | sort -u | tr '\n' ' ')
options=$(grep -o -- '--[a-z]\+' <<<"$help" | sort -u | tr '\n' ' ')
mode='the help'
if [ -z "$commands" ] || [ -z "$options" ]; then
    echo "FAIL: no commands or options found in the help of $cli" >&2
    exit 1
fi
expect "$commands" vanter3-cli ''
expect "$options" vanter3-cli --

[ "$failures" -eq 0 ] && echo "completion: all cases pass"
exit $((failures > 0))
