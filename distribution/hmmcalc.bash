# Complétion bash de hmmcalc : commandes, options, fichiers .hmm.
# Les commandes et les options sont lues dans « hmmcalc --help » : la complétion suit
# l'outil installé sans liste à tenir à jour ici.
_hmmcalc()
{
    local cur prev aide commandes options i n
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    aide=$("${COMP_WORDS[0]}" --help 2>/dev/null)
    commandes=$(sed -n 's/^  hmmcalc \([a-z][a-z|-]*\) .*/\1/p' <<<"$aide" | tr '|' ' ')
    options=$(grep -o -- '--[a-z][a-z-]*' <<<"$aide" | sort -u)

    case $prev in
        --sortie)
            COMPREPLY=($(compgen -f -X '!*.hmm' -- "$cur") $(compgen -d -- "$cur"))
            return ;;
        --trace)
            COMPREPLY=($(compgen -f -X '!*.htm' -- "$cur") $(compgen -d -- "$cur"))
            return ;;
        --format)
            COMPREPLY=($(compgen -W "texte json" -- "$cur"))
            return ;;
        --valeurs)
            COMPREPLY=($(compgen -W "alpha beta delta gamma" -- "$cur"))
            return ;;
        --image)
            COMPREPLY=($(compgen -f -X '!*.@(png|svg)' -- "$cur") $(compgen -d -- "$cur"))
            return ;;
        --mot-de-passe|--chiffres|--iterations|--seuil|--graine|--colonnes)
            return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    # Premier mot qui n'est pas une option : la commande ; puis le modèle .hmm.
    n=0
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --mot-de-passe|--chiffres|--iterations|--seuil|--sortie|--trace|--format|--graine|--valeurs|--image|--colonnes) ((i++)) ;;
            -) ((n++)) ;; # SEQUENCE « - » : l'entrée standard
            -*) ;;
            *) ((n++)) ;;
        esac
    done
    if ((n == 0)); then
        COMPREPLY=($(compgen -W "$commandes" -- "$cur"))
    elif ((n == 1)); then
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -X '!*.hmm' -- "$cur") $(compgen -d -- "$cur"))
    fi
}
complete -F _hmmcalc hmmcalc
