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
                  --sources -j --jobs --junit --middle --cases"
    # What reads pages: the request options of fetch.
    local request="--max-time -A --user-agent -H --header -b --cookie --retry"
    # What extract and find share: several sources, URLs among them.
    local sources="-r --recursive --sources --with-filename --no-filename --json --count -i --ignore-case
                   -j --jobs --max-time -A --user-agent -H --header -b --cookie --retry"

    # --lang=py arrives as "--lang" "=" "py" (= breaks words).
    if [[ $cur == = ]]; then
        prev=${COMP_WORDS[COMP_CWORD-1]}
        cur=
    elif [[ $prev == = ]]; then
        prev=${COMP_WORDS[COMP_CWORD-2]}
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
        --sources | --junit | --cases)
            local IFS=$'\n'
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
            return
            ;;
        --left | --right | --text | --middle | --max-time | -A | --user-agent | -H | --header | -b | --cookie | --retry | -j | --jobs)
            COMPREPLY=()
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        local options=$common
        case $command in
            extract) options+=" --left --right --all -0 --null --newline $sources" ;;
            find) options+=" --text $sources" ;;
            fetch) options+=" --raw --max-time -A --user-agent -H --header -b --cookie --retry -s --silent" ;;
            code) options+=" --lang" ;;
            test) options+=" --json --junit --update -j --jobs $request" ;;
            suggest) options+=" --middle --cases --json -0 --null -j --jobs $request" ;;
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
