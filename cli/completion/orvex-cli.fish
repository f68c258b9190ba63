# fish completion for orvex-cli. The candidates come from "orvex-cli --complete", which
# knows the actions, their keys, and the presets and folders of a running Orvex.
function __orvex_cli_complete
    set -l current (commandline -ct)
    set -l words (commandline -opc) "$current"
    set -l output (command orvex-cli --complete $words[2..-1] 2>/dev/null)
    if test $status -eq 3
        __fish_complete_path "$current"
        return
    end
    for line in $output
        echo $line
    end
end
complete -c orvex-cli -f -a '(__orvex_cli_complete)'
