#!/usr/bin/env bash
# Le paquet Debian déballé (dpkg -x) dans une racine non inscriptible : ses programmes
# trouvent leurs ressources et n'y écrivent rien. Sans paquet (scripts/paquet), l'essai est
# sauté (code 77).
#   paquet.sh <dossier de construction>
source "$(dirname "$0")/commun.sh"
paquet=$(ls -t "$1"/hmmbench_*_amd64.deb 2>/dev/null | head -1 || true)
[ -n "$paquet" ] || { echo "pas de paquet : lancer scripts/paquet"; exit 77; }
dpkg -x "$paquet" "$tmp/racine"
essayer_installation "$tmp/racine/usr"
echo "paquet : correct ($(basename "$paquet"))"
