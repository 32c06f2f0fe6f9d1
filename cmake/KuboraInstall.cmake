# What `cmake --install` puts under the prefix, and the Debian packages `make package` builds from it.
# The layout follows Debian's policy for games under every prefix: the game in games/, its data in
# share/games/kubora (where the game looks beside its binary), the tools in bin/. The folders are fixed
# here rather than taken from GNUInstallDirs, since the game finds its data by this layout.
#
# Two packages, as Debian would split them: kubora (section games) holds the game, and kubora-tools
# (section graphics) the model viewer and the COLLADA report, which a games package keeps out of
# /usr/bin. debian/ builds the same two from the same install rules, component by component.
include(cmake/KuboraAddresses.cmake)

install(TARGETS kubora RUNTIME DESTINATION games COMPONENT game)
install(TARGETS kubora-view kubora-dae RUNTIME DESTINATION bin COMPONENT tools)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION share/games/kubora COMPONENT game)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.kubora.kubora.desktop DESTINATION share/applications
        COMPONENT game)
install(FILES ${PROJECT_BINARY_DIR}/org.kubora.kubora.metainfo.xml DESTINATION share/metainfo COMPONENT game)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/icons/ DESTINATION share/icons/hicolor COMPONENT game)
# The copyright file and changelog are debian/'s, so that both ways of packaging ship the same text.
# debian/rules drops these copies: there dh_installdocs and dh_installchangelogs install them.
install(FILES ${PROJECT_SOURCE_DIR}/debian/copyright DESTINATION share/doc/kubora COMPONENT game)
install(FILES ${PROJECT_SOURCE_DIR}/debian/copyright DESTINATION share/doc/kubora-tools COMPONENT tools)
# Without a home page, AppStream 1.0's validator (Debian 13 on) warns of it, and lintian reports the
# validation failed: debian/homepage-missing.lintian-overrides says why that is so. Older validators
# say nothing, and an older lintian knows no such tag and calls an override of it an error. So the
# package carries the override exactly where this system's validator gives that warning; lintian of
# the same release reads it. Both ways of packaging install it from here.
if(NOT KUBORA_HOMEPAGE)
  find_program(KUBORA_APPSTREAMCLI appstreamcli)
  set(metainfo ${PROJECT_BINARY_DIR}/org.kubora.kubora.metainfo.xml)
  if(KUBORA_APPSTREAMCLI)
    execute_process(COMMAND ${KUBORA_APPSTREAMCLI} validate --no-net ${metainfo}
                    OUTPUT_VARIABLE validation ERROR_VARIABLE validation RESULT_VARIABLE ignored)
    if(validation MATCHES "url-homepage-missing")
      message(STATUS "The AppStream validator warns that no home page is named: the game's package carries its lintian override")
      install(FILES ${PROJECT_SOURCE_DIR}/debian/homepage-missing.lintian-overrides
              DESTINATION share/lintian/overrides RENAME kubora COMPONENT game)
    endif()
  endif()
endif()

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
kubora_compressed_document(${PROJECT_SOURCE_DIR}/tools/kubora-view/kubora-view.1 share/man/man1 tools)
kubora_compressed_document(${PROJECT_SOURCE_DIR}/tools/kubora-dae/kubora-dae.1 share/man/man1 tools)
kubora_compressed_document(${PROJECT_SOURCE_DIR}/debian/changelog share/doc/kubora game share/doc/kubora-tools tools)
add_custom_target(kubora_compressed_documents ALL DEPENDS ${compressed_documents})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kubora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${KUBORA_MAINTAINER}")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game tools)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME kubora)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME kubora-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION graphics)
# kubora-view draws through the game's renderer, with the shader files in the game's data folder.
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "kubora (= ${PROJECT_VERSION})")
# The descriptions are debian/control's, so that both ways of packaging describe the packages alike:
# CPack takes the summary line, then the extended description without debian/control's indent and with
# its " ." lines empty (CPack indents it and marks the empty lines again).
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/debian/control)
function(kubora_control_description package out)
  file(READ ${PROJECT_SOURCE_DIR}/debian/control control)
  string(REGEX MATCH "\nPackage: ${package}\n.*" stanza "${control}")
  string(REGEX MATCH "\nDescription: [^\n]*(\n [^\n]*)*" description "${stanza}")
  if(NOT description)
    message(FATAL_ERROR "debian/control: no Description of the package ${package}")
  endif()
  string(REPLACE "\nDescription: " "" description "${description}")
  string(REPLACE "\n .\n" "\n\n" description "${description}")
  string(REPLACE "\n " "\n" description "${description}")
  set(${out} "${description}" PARENT_SCOPE)
endfunction()
kubora_control_description(kubora CPACK_DEBIAN_GAME_DESCRIPTION)
kubora_control_description(kubora-tools CPACK_DEBIAN_TOOLS_DESCRIPTION)
if(KUBORA_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KUBORA_HOMEPAGE}")
endif()
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The build keeps debugging symbols; the package leaves them out, stripped by the toolchain's own strip.
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
