# What `cmake --install` puts under the prefix, and the Debian packages `make package` builds from it.
# The layout follows Debian's policy for games under every prefix: the game in games/, its data in
# share/games/kubora (where the game looks beside its binary), the tools in bin/. The folders are fixed
# here rather than taken from GNUInstallDirs, since the game finds its data by this layout.
#
# Two packages, as Debian would split them: kubora (section games) holds the game, and kubora-tools
# (section graphics) the model viewer and the COLLADA report, which a games package keeps out of
# /usr/bin.
set(KUBORA_MAINTAINER "The Kubora developers <developers@kubora.org>"
    CACHE STRING "Maintainer named in the Debian package (\"Name <address>\")")

install(TARGETS kubora RUNTIME DESTINATION games COMPONENT game)
install(TARGETS kubora-view kubora-dae RUNTIME DESTINATION bin COMPONENT tools)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION share/games/kubora COMPONENT game)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.kubora.kubora.desktop DESTINATION share/applications
        COMPONENT game)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.kubora.kubora.metainfo.xml DESTINATION share/metainfo
        COMPONENT game)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/icons/ DESTINATION share/icons/hicolor COMPONENT game)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION share/doc/kubora COMPONENT game)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION share/doc/kubora-tools COMPONENT tools)

# Manual pages and the changelog are installed compressed, reproducibly (no name or time in the header).
set(compressed_documents)
function(kubora_compressed_document source)
  get_filename_component(name ${source} NAME)
  set(compressed ${CMAKE_BINARY_DIR}/compressed/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/compressed
    COMMAND gzip -9n -c ${source} > ${compressed}
    DEPENDS ${source} VERBATIM)
  # Then pairs of destination folder and component.
  while(ARGN)
    list(POP_FRONT ARGN destination component)
    install(FILES ${compressed} DESTINATION ${destination} COMPONENT ${component})
  endwhile()
  set(compressed_documents ${compressed_documents} ${compressed} PARENT_SCOPE)
endfunction()
kubora_compressed_document(${PROJECT_SOURCE_DIR}/app/kubora.6 share/man/man6 game)
kubora_compressed_document(${PROJECT_SOURCE_DIR}/tools/kubora-view.1 share/man/man1 tools)
kubora_compressed_document(${PROJECT_SOURCE_DIR}/tools/kubora-dae.1 share/man/man1 tools)
kubora_compressed_document(${PROJECT_SOURCE_DIR}/packaging/changelog share/doc/kubora game share/doc/kubora-tools tools)
add_custom_target(kubora_compressed_documents ALL DEPENDS ${compressed_documents})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kubora)
set(CPACK_PACKAGE_VERSION 0.1.0)
set(CPACK_PACKAGE_CONTACT "${KUBORA_MAINTAINER}")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game tools)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME kubora)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME kubora-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION graphics)
# Each description is its summary line, then the extended description; CPack indents it and marks the
# empty line.
set(CPACK_DEBIAN_GAME_DESCRIPTION "dice conquest board game in 3D against three computer players
Kubora is a three-dimensional dice conquest game: you play blue against
three computer players on a board of 8 x 8 tiles. Move your dice onto empty
tiles to claim them, or attack a neighbour: both sides roll one die for each
die they hold, and the higher sum takes the tile. Every tile you own brings
a new die at the end of your turn.

The board, tiles and dice are drawn with OpenGL, lit by two lights that cast
shadows, under a sky box. The camera pans, dollies and orbits the board.")
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "model viewer and COLLADA report of the Kubora game
Tools that read the COLLADA models of the Kubora dice game, or any other
COLLADA 1.4.1 file, through the game's own reader and engine.

kubora-view shows one model lit and textured in a window, or renders one
frame of it to a PNG file. kubora-dae prints what the game would make of
each file: counts, triangles, texture and normals, and on request why a
model draws nothing.")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kubora.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The build keeps debugging symbols; the package leaves them out (with scripts/strip-for-package.sh).
set(CPACK_STRIP_FILES ON)
# Dependencies from the shared libraries the binaries link (through dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The game and the viewer draw with Mesa's software renderer where there is no other driver.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
# Owner root, folders 755, files 644 (control files included) whatever the umask of the build.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
