# The Debian package of the installation. Its dependencies are found by dpkg-shlibdeps, so they
# are Debian's names; its changelog and copyright file are made here from resources/linux/debian,
# with the maintainer named once, below.
set(KAPRED_MAINTAINER "Equipo Kapred <equipo@kapred.com.ar>")
set(KAPRED_RELEASE_DATE "Sun, 06 Dec 2026 12:00:00 +0000")

set(debian_doc ${CMAKE_BINARY_DIR}/debian-doc)
configure_file(${PROJECT_SOURCE_DIR}/resources/linux/debian/copyright.in ${debian_doc}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/linux/debian/changelog.in ${debian_doc}/changelog @ONLY)
# gzip -n leaves out the name and time of the file, so the same sources give the same package.
add_custom_command(OUTPUT ${debian_doc}/changelog.gz
    COMMAND gzip -9nkf ${debian_doc}/changelog
    DEPENDS ${debian_doc}/changelog
    VERBATIM)
add_custom_target(debian-changelog ALL DEPENDS ${debian_doc}/changelog.gz)
install(FILES ${debian_doc}/copyright ${debian_doc}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kapred)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kapred)
set(CPACK_PACKAGE_VENDOR "Equipo Kapred")
set(CPACK_PACKAGE_CONTACT "${KAPRED_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KAPRED_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kapred.com.ar")
# The first line is the synopsis (at most 80 characters), the rest the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "declaraciones juradas de la contribución especial de las cooperativas
Kapred guarda las declaraciones juradas de una cooperativa, calcula la
liquidación de la contribución especial sobre el capital y el saldo a pagar,
y genera el archivo del formulario 369 para presentarlo.
.
El paquete trae el programa de escritorio (kapred), el padrón de
contribuyentes (kapred-padron), desde el que se abre Kapred para cada
cooperativa, y el mismo programa sin ventanas para la terminal y los
guiones (kapred-cli).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Folders are owned by root with the usual modes, as dpkg-deb expects.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Qt's own dialogs (files, printing) speak Spanish with Qt's translations, and the texts whose
# columns must align use the packaged fixed-pitch font: no library names either.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
include(CPack)
