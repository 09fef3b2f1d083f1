# bash completion for strelmark. The words come from the program itself
# (`strelmark __complete WORD...`, cli/Completion.h), so they follow its options.
_strelmark() {
    local cur=${COMP_WORDS[COMP_CWORD]} program=${COMP_WORDS[0]/#\~/$HOME}
    local answer line IFS=$'\n'
    answer=$("$program" __complete "${COMP_WORDS[@]:1:COMP_CWORD}" 2>/dev/null) || return
    COMPREPLY=()
    case $answer in
    :files)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
        ;;
    :folders)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -d -- "$cur"))
        ;;
    :none) ;;
    *)
        for line in $answer; do
            line=${line%%$'\t'*}
            [[ $line == "$cur"* ]] && COMPREPLY+=("$line")
        done
        ;;
    esac
}
complete -F _strelmark strelmark
