# bash completion for vanter3-cli: its commands, its options (those of the command already
# given), the values of split's options, .in3 configuration files as the file argument (any
# file for split's image).
_vanter3_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local command='' file='' ended='' word i
    local valued='--lanes|-n|--order|--base|--from|--to|--part|-p|--output|-o|--config|-c'
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ -z $ended && $word == -- ]]; then
            ended=1
        elif [[ -z $ended && $word == = ]]; then
            ((i++)) # "--part=27512" comes as three words: the value follows
        elif [[ -z $ended && $word == @($valued) ]]; then
            [[ ${COMP_WORDS[i + 1]} == = ]] || ((i++))
        elif [[ -z $ended && $word == -?* ]]; then
            continue
        elif [[ -z $command ]]; then
            command=$word
        else
            file=$word
        fi
    done

    COMPREPLY=()
    local option=$prev
    [[ $prev == = ]] && option=${COMP_WORDS[COMP_CWORD - 2]}
    if [[ -z $ended && ($prev == = || $prev == @($valued)) ]]; then
        case $option in
        --lanes | -n) mapfile -t COMPREPLY < <(compgen -W '2 4' -- "$cur") ;;
        --from | --to) mapfile -t COMPREPLY < <(compgen -W 'binary hex srec' -- "$cur") ;;
        --part | -p)
            mapfile -t COMPREPLY < <(compgen -W '2764 27128 27256 27512 27010 27020 27040
                28F040 27080 6264 62256 621000 624000 16M 32M' -- "$cur")
            ;;
        --config | -c) _vanter3_cli_files in3 ;;
        --output | -o) _vanter3_cli_files ;;
        esac
    elif [[ -z $ended && $cur == -* ]]; then
        local options='--help --version'
        local split='--lanes --order --base --from --to --part --output --config --force'
        case $command in
        download) options+=' --watch' ;;
        show | map) options+=' --json' ;;
        split) options+=" $split" ;;
        '') options+=" --watch --json $split" ;;
        esac
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    elif [[ -z $command ]]; then
        mapfile -t COMPREPLY < <(compgen -W 'download check validate show map split' -- "$cur")
    elif [[ -z $file && $command == split ]]; then
        _vanter3_cli_files
    elif [[ -z $file ]]; then
        _vanter3_cli_files in3
    fi
}

# File names (and folders), those ending in .$1 when given, letter case ignored.
_vanter3_cli_files() {
    if declare -F _filedir >/dev/null; then
        _filedir ${1:+"$1"} # bash-completion's own: quoting, ~ and folders handled
    else
        compopt -o filenames 2>/dev/null
        if [ -n "${1:-}" ]; then
            mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.[iI][nN]3' -- "$cur")
        else
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        fi
    fi
}
complete -F _vanter3_cli vanter3-cli
