#!/bin/sh
# Processus entiers côte à côte : hmmcalc, GHMM et une boucle simple lisent le même modèle et la
# même séquence, font un calcul et s'arrêtent. Pour chaque cas : médiane du temps processeur
# (utilisateur + système) de R exécutions et plus grand résident (« bench_processus mesurer »).
#   bench/mesurer_processus.sh [DOSSIER_DE_CONSTRUCTION] [R] [T...]
# Par défaut : build, R = 3, T = 2000 10000 100000 1000000. Sortie : un tableau Markdown.
# SIMPLE_MAX_T (100000 par défaut) : au-delà, la boucle simple (dense, N² par instant) est omise.
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
runs=${1:-3}
[ $# -gt 0 ] && shift
longueurs=${*:-"2000 10000 100000 1000000"}
simple_max=${SIMPLE_MAX_T:-100000}
dossier=$(mktemp -d)
trap 'rm -rf "$dossier"' EXIT
"$build/bench_familles" --modeles "$dossier" $longueurs >/dev/null 2>&1

# mesure COMMANDE... < ENTREE : « ms Mo » (médiane du temps processeur, résident maximal).
mesure() {
    entree=$1
    shift
    i=0
    : >"$dossier/mesures"
    while [ "$i" -lt "$runs" ]; do
        if ! "$build/bench_processus" mesurer "$entree" "$@" >>"$dossier/mesures"; then
            echo "échec"
            return
        fi
        i=$((i + 1))
    done
    sort -n "$dossier/mesures" | awk -v n="$runs" 'NR == int((n + 1) / 2) { printf "%s ms, %.0f Mo", $1, $2 }'
}

echo "| modèle | T | calcul | hmmcalc | GHMM | boucle simple |"
echo "|---|---:|---|---:|---:|---:|"
for famille in chaine97 ergodique10; do
    for T in $longueurs; do
        seq="$dossier/${famille}_$T.txt"
        for calcul in forward backward viterbi baumwelch; do
            case $calcul in
            baumwelch) options="baumwelch --iterations 1" ;;
            *) options=$calcul ;;
            esac
            # shellcheck disable=SC2086
            h=$(mesure "$seq" "$build/hmmcalc" $options "$dossier/$famille.hmm" - --mot)
            g=$(mesure /dev/null "$build/bench_processus" ghmm "$calcul" "$dossier/$famille.lambda" "$seq")
            s="—"
            [ "$T" -le "$simple_max" ] && s=$(mesure /dev/null "$build/bench_processus" simple "$calcul" "$dossier/$famille.lambda" "$seq")
            echo "| $famille | $T | $calcul | $h | $g | $s |"
        done
    done
done
