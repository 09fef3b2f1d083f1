# fish completion for strelmark. The words come from the program itself
# (`strelmark __complete WORD...`, cli/Completion.h), so they follow its options.
function __strelmark_complete
    set -l words (commandline -opc)
    set -l current (commandline -ct)
    set -l answer ($words[1] __complete $words[2..-1] $current 2>/dev/null)
    switch "$answer[1]"
        case :files
            __fish_complete_path $current
        case :folders
            __fish_complete_directories $current
        case :none
        case '*'
            printf '%s\n' $answer
    end
end
complete -c strelmark -f -a '(__strelmark_complete)'
