# bash completion for middletext: commands, their options, the languages of
# code --lang, and file names where a command reads a file (case files of
# test and suggest --cases included).

_middletext()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local commands="extract find fetch code test suggest"
    local common="--gbk -h --help -V --version"
    # Options that take the next word as their value.
    local valued="--left --right --text --max-time --lang -A --user-agent -H --header -b --cookie --retry
                  --sources -j --jobs --cacert -x --proxy --max-redirs -o --output -D --dump-header
                  -w --write-out -m --max-count --junit --middle --cases"
    # The bounds of transfers: values too, for every command that reads pages.
    local bounds="--connect-timeout -Y --speed-limit -y --speed-time --max-filesize --max-memory"
    valued+=" $bounds"
    # The network options, on every command that reads pages.
    local network="--max-time -A --user-agent -H --header -b --cookie --retry -k --insecure --cacert
                   -x --proxy --max-redirs --no-compressed -s --silent $bounds"
    # What extract and find share: several sources, URLs among them.
    local sources="-r --recursive --sources --with-filename --no-filename --json --count -i --ignore-case
                   -j --jobs -q --quiet -m --max-count -l --files-with-matches --color $network"

    # --lang=py arrives as "--lang" "=" "py" (= breaks words).
    local joined=
    if [[ $cur == = ]]; then
        prev=${COMP_WORDS[COMP_CWORD-1]}
        cur=
        joined=1
    elif [[ $prev == = ]]; then
        prev=${COMP_WORDS[COMP_CWORD-2]}
        joined=1
    fi

    # --color takes its value only as --color=WHEN.
    if [[ $prev == --color && $joined ]]; then
        COMPREPLY=($(compgen -W "auto always never" -- "$cur"))
        return
    fi

    # The command: the first word that is neither an option nor an option's value.
    local command= word i ended=
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $ended ]]; then
            command=$word
            break
        elif [[ $word == -- ]]; then
            ended=1
        elif [[ $word == -* && ${COMP_WORDS[i+1]} == = ]]; then
            ((i += 2)) # --option = value
        elif [[ " $valued " == *" $word "* ]]; then
            ((i += 1))
        elif [[ $word != -* ]]; then
            command=$word
            break
        fi
    done

    case $prev in
        --lang)
            COMPREPLY=($(compgen -W "python javascript c java go php" -- "$cur"))
            return
            ;;
        --sources | --cacert | -o | --output | -D | --dump-header | --junit | --cases)
            local IFS=$'\n'
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
            return
            ;;
        --left | --right | --text | --middle | --max-time | -A | --user-agent | -H | --header | -b | --cookie | --retry | -j | --jobs | \
            -x | --proxy | --max-redirs | -w | --write-out | -m | --max-count | \
            --connect-timeout | -Y | --speed-limit | -y | --speed-time | --max-filesize | --max-memory)
            COMPREPLY=()
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        local options=$common
        case $command in
            extract) options+=" --left --right --all -0 --null --newline $sources" ;;
            find) options+=" --text $sources" ;;
            fetch) options+=" --raw -o --output -D --dump-header -w --write-out -f --fail $network" ;;
            code) options+=" --lang" ;;
            test) options+=" --json --junit --update -j --jobs $network" ;;
            suggest) options+=" --middle --cases --json -0 --null -j --jobs $network" ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi

    case $command in
        "")
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
            ;;
        extract | find | test | suggest)
            # FILEs and directories (URLs are typed), or - for standard input;
            # test's case files.
            local IFS=$'\n'
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
            ;;
        *)
            COMPREPLY=() # fetch takes a URL; code takes nothing more
            ;;
    esac
}

complete -F _middletext middletext
