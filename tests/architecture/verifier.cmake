# Appelé par ctest : cmake -DRACINE=<sources> -P verifier.cmake
cmake_policy(SET CMP0057 NEW)
# Chaque dossier n'inclut que les dossiers de sa ligne : le cœur ne voit aucune fenêtre, et
# au-dessus de l'habillage seule la fenêtre principale (editor/) voit tout.
set(coeur graph model algorithms trace)
string(REPLACE ";" "," coeur "${coeur}")
set(regles
  "noyau/graph:graph"
  "noyau/model:graph,model"
  "noyau/algorithms:graph,model,algorithms"
  "noyau/trace:graph,model,algorithms,trace"
  "fenetres/skin:graph,model,skin"
  "fenetres/dialogs:${coeur},skin,dialogs"
  "fenetres/calculs:${coeur},skin,dialogs,calculs"
  "fenetres/visionneuse:${coeur},skin,visionneuse"
  "fenetres/apprentissage:${coeur},skin,dialogs,apprentissage"
  "fenetres/direct:${coeur},skin,direct")
set(fautes "")
foreach(regle IN LISTS regles)
  string(REPLACE ":" ";" morceaux "${regle}")
  list(GET morceaux 0 dossier)
  list(GET morceaux 1 permis)
  string(REPLACE "," ";" permis "${permis}")
  file(GLOB_RECURSE fichiers ${RACINE}/${dossier}/*.h ${RACINE}/${dossier}/*.cpp)
  foreach(f ${fichiers})
    file(STRINGS ${f} lignes REGEX "^#include \"[a-z_]+/")
    foreach(l ${lignes})
      string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" cible "${l}")
      if(NOT cible IN_LIST permis)
        list(APPEND fautes "${f} : ${l}")
      endif()
    endforeach()
  endforeach()
endforeach()
# Refuse, dans ces fichiers, chaque ligne qui répond au motif.
function(refuser motif)
  foreach(f ${ARGN})
    file(STRINGS ${f} lignes REGEX "${motif}")
    if(lignes)
      list(APPEND fautes "${f} : ${lignes}")
    endif()
  endforeach()
  set(fautes "${fautes}" PARENT_SCOPE)
endfunction()
# Le modèle, les calculs et les traces ne connaissent aucun contrôle : ni THmm ni TEtat2 (les
# arcs et les boîtes sans fenêtre sont graphe.h et boite.h), ni Qt Widgets.
file(GLOB_RECURSE sansControle
  ${RACINE}/noyau/model/*.h ${RACINE}/noyau/model/*.cpp ${RACINE}/noyau/algorithms/*.h
  ${RACINE}/noyau/algorithms/*.cpp ${RACINE}/noyau/trace/*.h ${RACINE}/noyau/trace/*.cpp)
refuser("^#include (\"graph/(hmm|etat2)\\.h\"|<Q(Widget|Application|Dialog|MainWindow|Action|Menu|Widgets)>)"
  ${sansControle})
# Hors du modèle, personne n'écrit Modifie.
file(GLOB_RECURSE tous
  ${RACINE}/fenetres/*.cpp ${RACINE}/fenetres/*.h ${RACINE}/noyau/*.cpp ${RACINE}/noyau/*.h
  ${RACINE}/tools/*.cpp ${RACINE}/app/*.cpp ${RACINE}/exemples/*.cpp)
list(FILTER tous EXCLUDE REGEX "/noyau/model/")
refuser("(^|[^A-Za-z_])Modifie[ \t]*=[^=]" ${tous})
if(fautes)
  list(JOIN fautes "\n" texte)
  message(FATAL_ERROR "Dépendances ou écritures interdites :\n${texte}")
endif()
