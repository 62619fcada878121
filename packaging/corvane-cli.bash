# Bash completion for corvane-cli.
_corvane_cli()
{
    local cur prev cmd
    cur="${COMP_WORDS[COMP_CWORD]}"
    prev="${COMP_WORDS[COMP_CWORD-1]}"
    local commands="discover info set-address reset-password reboot upgrade export-config import-config diagnostics dst encoding snapshot"
    if [[ ${COMP_CWORD} -eq 1 ]]; then
        COMPREPLY=($(compgen -W "${commands} --help" -- "${cur}"))
        return
    fi
    cmd="${COMP_WORDS[1]}"
    case "${prev}" in
        --format) COMPREPLY=($(compgen -W "table csv json" -- "${cur}")); return ;;
        --password-file|--firmware|--file|--plan) COMPREPLY=($(compgen -f -- "${cur}")); return ;;
        --out)
            if [[ ${cmd} == snapshot ]]; then
                COMPREPLY=($(compgen -f -- "${cur}"))
            else
                COMPREPLY=($(compgen -d -- "${cur}"))
            fi
            return ;;
        --offset) COMPREPLY=($(compgen -W "30 60 90 120" -- "${cur}")); return ;;
        --user|--jobs|--wait|--range|--ip|--mask|--gateway|--code|--start|--end) return ;;
    esac
    # A device outside the search is named onvif://HOST[:PORT].
    if [[ -n ${cur} && onvif:// == "${cur}"* && ${cmd} != discover ]]; then
        COMPREPLY=(onvif://)
        compopt -o nospace 2>/dev/null
        return
    fi
    local device="--format --jobs --user --password-file --wait --help"
    local options
    case "${cmd}" in
        discover) options="--range --no-multicast --wait --format --help" ;;
        set-address) options="${device} --ip --mask --gateway --plan --range --no-multicast" ;;
        reset-password) options="--code --format --wait --help" ;;
        upgrade) options="${device} --firmware" ;;
        export-config|diagnostics) options="${device} --out" ;;
        import-config) options="${device} --file" ;;
        dst) options="${device} --start --end --offset --off" ;;
        encoding) options="--format --user --password-file --wait --help" ;;
        snapshot) options="--format --user --password-file --wait --help --out" ;;
        *) options="${device}" ;;
    esac
    COMPREPLY=($(compgen -W "${options}" -- "${cur}"))
}
complete -F _corvane_cli corvane-cli
