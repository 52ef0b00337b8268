#!/usr/bin/env bash
# Les paquets Debian déballés (dpkg -x) dans une racine non inscriptible : les programmes
# trouvent libhmmgraph1 et leurs ressources et n'y écrivent rien ; un autre projet se lie à
# libhmmgraph-dev par find_package. Sans paquets (scripts/paquet), l'essai est sauté (code 77).
#   paquet.sh <dossier de construction> <dossier de l'essai>
source "$(dirname "$0")/commun.sh"
paquets=()
for nom in hmmbench libhmmgraph1 libhmmgraph-dev; do
  p=$(ls -t "$1"/paquets/"$nom"_*_amd64.deb 2>/dev/null | head -1 || true)
  [ -n "$p" ] || { echo "pas de paquet $nom : lancer scripts/paquet"; exit 77; }
  paquets+=("$p")
  dpkg -x "$p" "$tmp/racine"
done
# Ailleurs qu'à la racine du système, la bibliothèque se trouve par LD_LIBRARY_PATH.
bibliotheques=$(dirname "$(find "$tmp/racine/usr/lib" -name 'libhmmgraph.so.1' | head -1)")
cmake -S "$2/externe" -B "$tmp/externe" -G Ninja -DCMAKE_PREFIX_PATH="$tmp/racine/usr" >/dev/null ||
  echec "find_package(hmmgraph) depuis libhmmgraph-dev"
cmake --build "$tmp/externe" >/dev/null || echec "construction du projet externe"
r=$(LD_LIBRARY_PATH=$bibliotheques "$tmp/externe/externe")
[ "$r" = "0.1915" ] || echec "le projet externe affiche « $r »"
essayer_installation "$tmp/racine/usr"
echo "paquets : corrects (${paquets[*]##*/})"
