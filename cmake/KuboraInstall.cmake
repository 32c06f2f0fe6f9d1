# What `cmake --install` puts under the prefix, and the Debian package `make package` builds from it.
# The game looks for its files in ../share/kubora beside its binary, so the folders are fixed here
# rather than taken from GNUInstallDirs.
install(TARGETS kubora kubora-view kubora-dae RUNTIME DESTINATION bin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION share/kubora)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kubora.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kubora.png DESTINATION share/icons/hicolor/64x64/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kubora)
set(CPACK_PACKAGE_VERSION 0.1.0)
set(CPACK_PACKAGE_CONTACT "Kubora developers <kubora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Dice conquest board game in 3D against three computer players")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The build keeps debugging symbols; the package leaves them out.
set(CPACK_STRIP_FILES ON)
# Dependencies from the shared libraries the binaries link (through dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The game draws with Mesa's software renderer where there is no other driver.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
include(CPack)
