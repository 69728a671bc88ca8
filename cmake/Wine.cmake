# Running Windows test programs under Wine, in a private prefix of this build
# folder (created once, stamped). Tests inherit the same environment.

find_program(WINE_EXE NAMES wine REQUIRED)
set(QV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(QV_WINE_ENV
    "WINEPREFIX=${QV_WINEPREFIX}"
    "WINEDEBUG=-all"
    "WINEDLLOVERRIDES=mscoree,mshtml="
    "WINEARCH=win64"
    "LC_ALL=fr_FR.UTF-8")
configure_file(${PROJECT_SOURCE_DIR}/tools/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

add_custom_command(
  OUTPUT ${QV_WINEPREFIX}/.qv-stamp
  COMMAND ${PROJECT_SOURCE_DIR}/tools/make-prefix.sh ${QV_WINEPREFIX}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/make-prefix.sh
  COMMENT "Creating the Wine prefix for tests"
  USES_TERMINAL)
add_custom_target(wineprefix ALL DEPENDS ${QV_WINEPREFIX}/.qv-stamp)
