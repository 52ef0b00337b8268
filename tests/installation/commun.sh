# Outils communs des essais d'installation (sourcés) : un dossier temporaire effacé à la
# fin, l'instantané d'une arborescence, les programmes lancés comme un utilisateur neuf.
set -euo pipefail
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
echec() { echo "ÉCHEC : $*" >&2; exit 1; }

# Chemins, tailles et dates de tout ce qui est sous $1.
instantane() { find "$1" -printf '%p %s %T@ %m\n' | sort; }

# Lance un programme installé sous un HOME et un dossier d'exécution neufs, en anglais
# (avec $bibliotheques en LD_LIBRARY_PATH s'il est donné).
utilisateur() {
  env -i PATH=/usr/bin:/bin HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run" LANG=C LC_ALL=C \
    ${bibliotheques:+LD_LIBRARY_PATH="$bibliotheques"} QT_QPA_PLATFORM=offscreen "$@"
}

# hmmcalc et hmmbench d'une arborescence installée $1 (préfixe), qu'on rend non inscriptible
# et qui ne doit pas changer.
essayer_installation() {
  local p=$1
  mkdir -p "$tmp/home" "$tmp/run"
  chmod 700 "$tmp/run"
  chmod -R a-w "$p"
  instantane "$p" >"$tmp/avant"
  local modele="$p/share/hmmbench/exemples/e1e2.hmm"
  local r
  r=$(utilisateur "$p/bin/hmmcalc" forward "$modele" ab) || echec "hmmcalc forward"
  [ "$r" = "0.1915" ] || echec "hmmcalc forward affiche « $r »"
  utilisateur "$p/bin/hmmcalc" viterbi "$modele" ab --trace "$tmp/trace.htm" >/dev/null ||
    echec "hmmcalc ne trouve pas ses modèles de trace"
  [ -s "$tmp/trace.htm" ] && [ -s "$tmp/trace_fichiers/Hmm.bmp" ] || echec "trace absente"
  r=$(utilisateur "$p/bin/hmmcalc" --version)
  [[ "$r" == "hmmcalc "[0-9]* ]] || echec "hmmcalc --version : « $r »"
  # hmmbench reste ouvert sur le modèle jusqu'à ce qu'on l'arrête (code 124 de timeout).
  local code=0
  utilisateur timeout 5 "$p/bin/hmmbench" "$modele" >/dev/null 2>&1 || code=$?
  [ $code -eq 124 ] || echec "hmmbench s'est arrêté seul (code $code)"
  instantane "$p" >"$tmp/apres"
  diff "$tmp/avant" "$tmp/apres" >&2 || echec "l'installation a été modifiée"
}
