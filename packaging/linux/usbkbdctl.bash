# bash completion for usbkbdctl: verbs, options, .kbd files, slots, key names
# and device paths. The verbs, options and key names are asked of usbkbdctl
# itself, the device paths of "usbkbdctl list".

# The verbs: the words of the "verbs:" block of --help.
_usbkbdctl_verbs() {
    "$1" --help 2>/dev/null | sed -n '/^verbs:$/,/^$/s/^  \([a-z][a-z]*\) .*/\1/p'
}

# The options of the verb $2 (its usage line and --help), or of the tool.
_usbkbdctl_options() {
    if [[ -n $2 ]]; then
        "$1" "$2" --help 2>/dev/null | sed -n '1s/^usage: //p' | grep -o -- '-[-a-z]*'
        echo --help
    else
        "$1" --help 2>/dev/null | sed -n '/^options:$/,/^$/s/^  \(-[-a-z]*\).*/\1/p'
    fi
}

# Adds to COMPREPLY, quoted for the shell, the lines of standard input that
# start with the word typed, $1.
_usbkbdctl_reply_matching() {
    local line typed
    typed=$(dequote "$1")
    while IFS= read -r line; do
        [[ -n $line && $line == "$typed"* ]] && COMPREPLY+=("$(printf '%q' "$line")")
    done
    return 0
}

# The device paths of the modules found, the last field of each line of
# "usbkbdctl list" (run with the --sim option of the command line, if any).
_usbkbdctl_devices() {
    local line
    "$@" list 2>/dev/null | while IFS= read -r line; do
        printf '%s\n' "${line##*  }"
    done
}

# KEY: modifier prefixes, then a key name, in any case ("ctrl+shift+f4").
_usbkbdctl_keys() {
    local held="" rest name
    rest=$(dequote "$2")
    while [[ ${rest,,} =~ ^(r?ctrl|r?shift|r?alt)\+ ]]; do
        held+=${rest:0:${#BASH_REMATCH[0]}}
        rest=${rest:${#BASH_REMATCH[0]}}
    done
    while IFS= read -r name; do
        [[ -n $name && ${name,,} == "${rest,,}"* ]] && COMPREPLY+=("$(printf '%q' "$held$name")")
    done < <("$1" --key-names 2>/dev/null; printf '%s\n' Ctrl+ Shift+ Alt+ RCtrl+ RShift+ RAlt+)
    # A prefix alone is followed by its key, not by a blank.
    [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *[a-zA-Z]+ ]] && compopt -o nospace 2>/dev/null
    return 0
}

_usbkbdctl() {
    local cur prev words cword
    _init_completion -n : || return

    local i verb="" operand=0 sim=()
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --device | -o) ((i++)) ;;
            --sim) sim=(--sim "${words[i + 1]}") && ((i++)) ;;
            -*) ;;
            *) if [[ -z $verb ]]; then verb=${words[i]}; else ((operand++)); fi ;;
        esac
    done

    case $prev in
        --device)
            _usbkbdctl_reply_matching "$cur" < <(_usbkbdctl_devices "$1" "${sim[@]}")
            return
            ;;
        -o)
            _filedir kbd
            return
            ;;
        --sim)
            _filedir
            return
            ;;
    esac
    if [[ $cur == -* ]]; then
        _usbkbdctl_reply_matching "$cur" < <(_usbkbdctl_options "$1" "$verb")
    elif [[ -z $verb ]]; then
        _usbkbdctl_reply_matching "$cur" < <(_usbkbdctl_verbs "$1")
    else
        case $verb:$operand in
            write:0 | show:0 | set:0 | clear:0) _filedir kbd ;;
            set:1 | clear:1)
                _usbkbdctl_reply_matching "$cur" < <(printf '%s\n' {1..8} shift:{1..8})
                __ltrim_colon_completions "$cur"
                ;;
            set:2) _usbkbdctl_keys "$1" "$cur" ;;
        esac
    fi
} &&
    complete -F _usbkbdctl usbkbdctl
