#!/usr/bin/env bash
# « hmmcalc --help », le manuel hmmcalc(1) et la complétion bash disent la même chose :
# chaque commande et chaque option de l'aide est dans le manuel, et chaque commande se
# complète avec les options de sa propre aide.
#   manuel.sh <hmmcalc> <dossier distribution> <complétion construite>
source "$(dirname "$0")/commun.sh"
hmmcalc=$1
distribution=$2
aide=$("$hmmcalc" --help)
commandes=$(sed -n 's/^  hmmcalc \([a-z][a-z-]*\) .*/\1/p' <<<"$aide")
# Les options d'une aide : ses lignes « --option ».
options_de() { sed -n 's/^  \(--[a-z][a-z-]*\).*/\1/p' | sort; }
options=$(options_de <<<"$aide")
[ -n "$commandes" ] && [ -n "$options" ] || echec "aide illisible"
manuel=$(sed 's/\\-/-/g' "$distribution/hmmcalc.1")
man -l "$distribution/hmmcalc.1" >/dev/null 2>&1 || echec "le manuel hmmcalc(1) ne se lit pas"
man -l "$distribution/hmmbench.1" >/dev/null 2>&1 || echec "le manuel hmmbench(1) ne se lit pas"
for mot in $commandes $options HMMCALC_MOT_DE_PASSE; do
  grep -qe "$mot" <<<"$manuel" || echec "« $mot » est dans l'aide mais pas dans le manuel"
done

# Complétion : ce que propose _hmmcalc pour la ligne donnée.
source "$3"
mkdir -p "$tmp/d"
touch "$tmp/d/a.hmm" "$tmp/d/b.txt" "$tmp/d/c.json"
cd "$tmp/d"
proposer() {
  COMP_WORDS=("$hmmcalc" "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _hmmcalc
  printf '%s\n' "${COMPREPLY[@]}" | sort -u
}
[ "$(proposer '' | sort)" = "$(sort <<<"$commandes")" ] || echec "complétion des commandes : $(proposer '' | tr '\n' ' ')"
[ "$(proposer --)" = "$options" ] || echec "complétion des options sans commande"
for c in $commandes; do
  siennes=$("$hmmcalc" "$c" --help | options_de)
  grep -q -- --help <<<"$siennes" || echec "aide de $c illisible"
  [ "$(proposer "$c" --)" = "$siennes" ] || echec "complétion des options de $c : $(proposer "$c" -- | tr '\n' ' ')"
done
[ "$(proposer forward '')" = "a.hmm" ] || echec "complétion du modèle : $(proposer forward '')"
[ "$(proposer importer '')" = "c.json" ] || echec "complétion du fichier JSON : $(proposer importer '')"
[ "$(proposer --format json viterbi '')" = "a.hmm" ] || echec "complétion après une option à valeur"
[ "$(proposer forward a.hmm --format '')" = "$(printf 'json\ntexte')" ] || echec "complétion de --format"
[ "$(proposer forward a.hmm --format = j)" = "json" ] || echec "complétion de --format=j"
echo "manuel et complétion : conformes à l'aide"
