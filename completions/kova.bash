# bash completion for kovasw, kova-config, kova-link and kova-sim.
#
# What each program takes is read from its own --help, so the completion
# follows the program it completes: the commands listed under "commands:",
# and the options with what each takes (a choice such as
# symax|netnet|rtu, a DEVICE, a FILE.KOV, a FILE.STP, a FILE or a DIR).

# The serial ports of this machine: the stable by-id and by-path names, then
# the kernel's.
_kova_serial_ports() {
    local p
    for p in /dev/serial/by-id/* /dev/serial/by-path/* /dev/ttyUSB* /dev/ttyACM* /dev/ttyS* \
             /dev/ttyAMA* /dev/rfcomm*; do
        [ -e "$p" ] && printf '%s\n' "$p"
    done
}

# Files whose names end in the extension given (any case), and folders.
_kova_files() {
    local cur=$1 ext=$2 f lower
    compgen -d -S / -- "$cur"
    while IFS= read -r f; do
        [ -d "$f" ] && continue
        lower=${f,,}
        [ -z "$ext" ] || [ "${lower%.$ext}" != "$lower" ] && printf '%s\n' "$f"
    done < <(compgen -f -- "$cur")
}

# "OPTION ARGUMENT" for every option of a program's --help (ARGUMENT "-" for
# one that takes none), and "command NAME" for each of its commands. Options
# are the lines "  --name ARGUMENT  help", and any --name the text mentions
# elsewhere (in a usage line), with the capitalised word after it if any.
_kova_help_words() {
    "$1" --help 2>/dev/null | awk '
        /^commands:/ { commands = 1; next }
        /^[^ ]/      { commands = 0 }
        /^  --[a-z0-9-]+/ {
            arg = ($2 == "" || $2 ~ /^[a-z]/ && $2 !~ /\|/) ? "-" : $2
            # a help text right after the option (two blanks) is no argument
            if (index($0, $1 "  ") > 0) arg = "-"
            listed[$1] = arg; next }
        commands && /^  [a-z][a-z-]*( |$)/ { print "command", $1; next }
        {
            for (i = 1; i <= NF; i++)
                if ($i ~ /^--[a-z][a-z0-9-]*$/ && !($i in mentioned))
                    mentioned[$i] = ($(i + 1) ~ /^[A-Z][A-Z.]*$/) ? $(i + 1) : "-"
        }
        END {
            for (o in listed) print o, listed[o]
            for (o in mentioned) if (!(o in listed)) print o, mentioned[o]
        }'
}

_kova_complete() {
    local program=$1 cur=${COMP_WORDS[COMP_CWORD]} prev="" words line option argument
    local -a options=() commands=()
    local -A takes=()
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    while read -r option argument; do
        if [ "$option" = command ]; then
            commands+=("$argument")
        else
            options+=("$option")
            takes[$option]=$argument
        fi
    done < <(_kova_help_words "$program")
    COMPREPLY=()
    # The argument of the option before.
    if [[ $prev == --* && -n ${takes[$prev]-} && ${takes[$prev]} != - ]]; then
        argument=${takes[$prev]}
        case $argument in
            *'|'*) mapfile -t COMPREPLY < <(compgen -W "${argument//|/ }" -- "$cur") ;;
            DEVICE | PATH) mapfile -t COMPREPLY < <(compgen -W "$(_kova_serial_ports)" -- "$cur") ;;
            *.KOV) mapfile -t COMPREPLY < <(_kova_files "$cur" kov) ;;
            *.STP) mapfile -t COMPREPLY < <(_kova_files "$cur" stp) ;;
            DIR) mapfile -t COMPREPLY < <(compgen -d -S / -- "$cur") ;;
            FILE|*FILE*|LIST) mapfile -t COMPREPLY < <(_kova_files "$cur" "") ;;
        esac
        [[ ${COMPREPLY[0]-} == */ ]] && compopt -o nospace 2>/dev/null
        return 0
    fi
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "${options[*]}" -- "$cur")
        return 0
    fi
    # The command, then its operands: the first word that is no option and
    # no option's argument.
    local i command=""
    for ((i = 1; i < COMP_CWORD; i++)); do
        words=${COMP_WORDS[i]}
        if [[ $words == --* ]]; then
            [[ -n ${takes[$words]-} && ${takes[$words]} != - ]] && ((i++))
            continue
        fi
        [[ $words == -* ]] && continue
        command=$words
        break
    done
    if [ -z "$command" ] && ((${#commands[@]})); then
        mapfile -t COMPREPLY < <(compgen -W "${commands[*]}" -- "$cur")
        return 0
    fi
    case $command in
        fetch | send) mapfile -t COMPREPLY < <(_kova_files "$cur" kov) ;;
        print | diff | export) mapfile -t COMPREPLY < <(compgen -W module -- "$cur"; _kova_files "$cur" kov) ;;
        import) mapfile -t COMPREPLY < <(_kova_files "$cur" "") ;;
        backup | history | replay) mapfile -t COMPREPLY < <(_kova_files "$cur" "") ;;
    esac
    [[ ${COMPREPLY[0]-} == */ ]] && compopt -o nospace 2>/dev/null
    return 0
}

_kova() { _kova_complete "$1"; }
complete -F _kova kovasw kova-config kova-link kova-sim
