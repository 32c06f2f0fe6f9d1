# kubora_library(<target> SOURCES <files...> LINKS <targets...>)
# A subsystem library. A folder whose sources are not written yet still yields a target
# (an interface library), so the targets above it link unchanged while it grows.
function(kubora_library target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  if(ARG_SOURCES)
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_LINKS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_LINKS})
  endif()
endfunction()

# The .cpp files of a folder, except the listed file names.
function(kubora_sources out dir)
  file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
  foreach(skip ${ARGN})
    list(FILTER found EXCLUDE REGEX "/${skip}$")
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()
