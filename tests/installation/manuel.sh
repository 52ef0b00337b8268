#!/usr/bin/env bash
# « hmmcalc --help », le manuel hmmcalc(1) et la complétion bash disent la même chose :
# chaque commande et chaque option de l'aide est dans le manuel et se complète.
#   manuel.sh <hmmcalc> <dossier distribution>
source "$(dirname "$0")/commun.sh"
hmmcalc=$1
distribution=$2
aide=$("$hmmcalc" --help)
commandes=$(sed -n 's/^  hmmcalc \([a-z][a-z|-]*\) .*/\1/p' <<<"$aide" | tr '|' '\n' | sort -u)
options=$(grep -o -- '--[a-z][a-z-]*' <<<"$aide" | sort -u)
[ -n "$commandes" ] && [ -n "$options" ] || echec "aide illisible"
manuel=$(sed 's/\\-/-/g' "$distribution/hmmcalc.1")
man -l "$distribution/hmmcalc.1" >/dev/null 2>&1 || echec "le manuel hmmcalc(1) ne se lit pas"
man -l "$distribution/hmmbench.1" >/dev/null 2>&1 || echec "le manuel hmmbench(1) ne se lit pas"
for mot in $commandes $options; do
  grep -qe "$mot" <<<"$manuel" || echec "« $mot » est dans l'aide mais pas dans le manuel"
done

# Complétion : ce que propose _hmmcalc pour la ligne donnée.
source "$distribution/hmmcalc.bash"
mkdir -p "$tmp/d"
touch "$tmp/d/a.hmm" "$tmp/d/b.txt"
cd "$tmp/d"
proposer() {
  COMP_WORDS=("$hmmcalc" "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _hmmcalc
  printf '%s\n' "${COMPREPLY[@]}" | sort -u
}
[ "$(proposer '')" = "$commandes" ] || echec "complétion des commandes : $(proposer '' | tr '\n' ' ')"
[ "$(proposer forward --)" = "$options" ] || echec "complétion des options"
[ "$(proposer forward '')" = "a.hmm" ] || echec "complétion du modèle : $(proposer forward '')"
[ "$(proposer --format json viterbi '')" = "a.hmm" ] || echec "complétion après une option à valeur"
[ "$(proposer forward a.hmm --format '')" = "$(printf 'json\ntexte')" ] || echec "complétion de --format"
echo "manuel et complétion : conformes à l'aide"
