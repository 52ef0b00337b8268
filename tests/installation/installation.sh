#!/usr/bin/env bash
# cmake --install dans un préfixe temporaire : les programmes installés marchent depuis un
# préfixe non inscriptible, et un autre projet se lie à hmmgraph par find_package.
#   installation.sh <dossier de construction> <dossier de l'essai>
source "$(dirname "$0")/commun.sh"
construction=$1
essai=$2
cmake --install "$construction" --prefix "$tmp/p" >/dev/null
cmake -S "$essai/externe" -B "$tmp/externe" -G Ninja -DCMAKE_PREFIX_PATH="$tmp/p" >/dev/null ||
  echec "find_package(hmmgraph) depuis un autre projet"
cmake --build "$tmp/externe" >/dev/null || echec "construction du projet externe"
r=$("$tmp/externe/externe")
[ "$r" = "0.1915" ] || echec "le projet externe affiche « $r »"
essayer_installation "$tmp/p"
echo "installation : correcte"
