# Appelé par ctest : cmake -DRACINE=<sources> -P verifier.cmake
set(fautes "")
file(GLOB_RECURSE dessous
  ${RACINE}/fenetres/calculs/*.h ${RACINE}/fenetres/calculs/*.cpp
  ${RACINE}/fenetres/visionneuse/*.h ${RACINE}/fenetres/visionneuse/*.cpp
  ${RACINE}/fenetres/dialogs/*.h ${RACINE}/fenetres/dialogs/*.cpp
  ${RACINE}/fenetres/skin/*.h ${RACINE}/fenetres/skin/*.cpp)
foreach(f ${dessous})
  file(STRINGS ${f} lignes REGEX "^#include \"editor/")
  if(lignes)
    list(APPEND fautes "${f} : ${lignes}")
  endif()
endforeach()
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
