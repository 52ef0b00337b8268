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
# Le modèle, les calculs et les traces ne connaissent aucun contrôle : ni THmm ni TEtat2 (les
# arcs et les boîtes sans fenêtre sont graphe.h et boite.h), ni Qt Widgets.
file(GLOB_RECURSE sansControle
  ${RACINE}/noyau/model/* ${RACINE}/noyau/algorithms/* ${RACINE}/noyau/trace/*)
foreach(f ${sansControle})
  if(NOT f MATCHES "\\.(h|cpp)$")
    continue()
  endif()
  file(STRINGS ${f} lignes REGEX "^#include (\"graph/(hmm|etat2)\\.h\"|<Q(Widget|Application|Dialog|MainWindow|Action|Menu|Widgets)>)")
  if(lignes)
    list(APPEND fautes "${f} : ${lignes}")
  endif()
endforeach()
# Hors du modèle, personne n'écrit Modifie.
file(GLOB_RECURSE tous
  ${RACINE}/fenetres/*.cpp ${RACINE}/fenetres/*.h ${RACINE}/noyau/*.cpp ${RACINE}/noyau/*.h
  ${RACINE}/tools/*.cpp ${RACINE}/app/*.cpp ${RACINE}/exemples/*.cpp)
foreach(f ${tous})
  if(f MATCHES "/noyau/model/")
    continue()
  endif()
  file(STRINGS ${f} lignes REGEX "(^|[^A-Za-z_])Modifie[ \t]*=[^=]")
  if(lignes)
    list(APPEND fautes "${f} : ${lignes}")
  endif()
endforeach()
if(fautes)
  list(JOIN fautes "\n" texte)
  message(FATAL_ERROR "Dépendances ou écritures interdites :\n${texte}")
endif()
