# A stripped install drops the sections Debian's tools drop too, with the toolchain's strip (a cross
# toolchain's included). Only `cmake --install --strip` and CPack (`make package`) strip; debhelper
# installs unstripped and strips into the -dbgsym packages itself. Included above the folders that
# define the executables, since their install rules take the strip from there.
if(CMAKE_STRIP)
  set(KUBORA_TOOLCHAIN_STRIP ${CMAKE_STRIP})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/strip-for-package.sh.in ${PROJECT_BINARY_DIR}/strip-for-package.sh
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                  WORLD_EXECUTE @ONLY)
  set(CMAKE_STRIP ${PROJECT_BINARY_DIR}/strip-for-package.sh)
endif()
