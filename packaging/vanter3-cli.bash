# bash completion for vanter3-cli: its commands, its options (those of the command already
# given), and .in3 configuration files as the file argument.
_vanter3_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local command='' file='' ended='' word i
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ -z $ended && $word == -- ]]; then
            ended=1
        elif [[ -z $ended && $word == -?* ]]; then
            continue
        elif [[ -z $command ]]; then
            command=$word
        else
            file=$word
        fi
    done

    COMPREPLY=()
    if [[ -z $ended && $cur == -* ]]; then
        local options='--help --version'
        case $command in
        download) options+=' --watch' ;;
        show) options+=' --json' ;;
        '') options+=' --watch --json' ;;
        esac
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    elif [[ -z $command ]]; then
        mapfile -t COMPREPLY < <(compgen -W 'download check validate show' -- "$cur")
    elif [[ -z $file ]]; then
        if declare -F _filedir >/dev/null; then
            _filedir in3 # bash-completion's own: quoting, ~ and folders handled
        else
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.[iI][nN]3' -- "$cur")
        fi
    fi
}
complete -F _vanter3_cli vanter3-cli
