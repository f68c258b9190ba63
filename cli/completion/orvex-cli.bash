# bash completion for orvex-cli. The candidates come from "orvex-cli --complete", which
# knows the actions, their keys, and the presets and folders of a running Orvex.
_orvex_cli() {
    local cur prev words cword
    _init_completion -n := || return
    local output line
    output=$(command orvex-cli --complete "${words[@]:1:cword}" 2>/dev/null)
    if [[ $? -eq 3 ]]; then
        _filedir
        return
    fi
    COMPREPLY=()
    while IFS= read -r line; do
        [[ -n $line ]] && COMPREPLY+=("${line%%$'\t'*}")
    done <<<"$output"
}
complete -F _orvex_cli orvex-cli
