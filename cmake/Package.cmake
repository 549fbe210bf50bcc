# The Debian package: cmake --build --preset release --target package writes
# keldar_<version>_<arch>.deb in the build folder. Its version is project()'s.
set(KELDAR_PACKAGE_MAINTAINER "Les développeurs de keldar <keldar@example.org>"
    CACHE STRING "Maintainer field of the Debian package and its changelog")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME keldar)
set(CPACK_PACKAGE_VENDOR ZEMBRAX)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programmateur de mémoires EEPROM I2C sur port série")
# Lines of at most 80 columns, as apt shows them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "keldar lit, programme et compare les mémoires EEPROM série I2C de la 24C00"
  "à la 24C512 et la X24C01 (pseudo-I2C) sur un petit lecteur passif branché au"
  "port série, directement ou par un adaptateur USB-série. Il gère les fichiers"
  "binaires et Intel HEX, le câblage du lecteur et la programmation en place sur"
  "une carte."
  ""
  "Le paquet contient le programme à fenêtre keldar et l'outil en ligne de"
  "commande keldar-cli.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KELDAR_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the program loads at run time without linking it: the fonts its windows are drawn with
# and Qt's French translations of the standard dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation | fonts-croscore, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
