# Compiler and linker flags: the caller's when it gives any, the project's defaults otherwise.
#
# A distribution chooses optimisation and hardening itself and hands them over as CFLAGS, CXXFLAGS,
# CPPFLAGS and LDFLAGS (dpkg-buildflags); CMake reads those into CMAKE_<LANG>_FLAGS and
# CMAKE_EXE_LINKER_FLAGS when it first configures a build folder. CMake has no CPPFLAGS of its own,
# so the Makefile and debhelper hand them over with the compiler flags. When any of them is given,
# nothing here adds to them or overrides them: the build type defaults to None, which adds no flags
# after the caller's. Only a plain build, with none given, gets the defaults below.
#
# Read where CMake keeps them (the cache) rather than from the environment, so that configuring an
# existing build folder again decides the same way.
set(KUBORA_CALLER_FLAGS "${CMAKE_C_FLAGS}${CMAKE_CXX_FLAGS}${CMAKE_EXE_LINKER_FLAGS}")
string(STRIP "${KUBORA_CALLER_FLAGS}" KUBORA_CALLER_FLAGS)

if(NOT CMAKE_BUILD_TYPE)
  if(KUBORA_CALLER_FLAGS)
    set(CMAKE_BUILD_TYPE None)
  else()
    set(CMAKE_BUILD_TYPE RelWithDebInfo)
  endif()
endif()

# Build paths never reach the binaries, so two builds of one commit in different folders give the same
# bytes (the debug information, and with it the GNU build ID, would hold them). Listed before the
# caller's flags, which the compiler reads later: a caller's own map of the same folder wins.
string(PREPEND CMAKE_C_FLAGS "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=. ")
string(PREPEND CMAKE_CXX_FLAGS "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=. ")

# Programs record only the shared libraries they call, for every build, the caller's flags or not. (It
# does not drop libGLX when the GL target names it: GLEW calls GLX through libGL, which is not linked, so
# the linker keeps libGLX for GLEW. The engine links OpenGL::OpenGL, libOpenGL alone: the programs call
# no GLX function themselves, and freeglut and GLEW bring the GLX they use.)
add_link_options(LINKER:--as-needed)

# The sanitizer and fuzzing builds bring their own checks instead.
if(KUBORA_CALLER_FLAGS OR KUBORA_SANITIZE OR KUBORA_FUZZ)
  return()
endif()

# The hardening Debian asks of its packages, and the checks its compilers add on top where the target
# has them: a stack protector, stack-clash protection, control-flow protection, fortified C library
# calls (which need an optimised build; undefined first, since some compilers define it themselves),
# format strings that are never data, and relocations made read-only at start-up.
include(CheckCXXCompilerFlag)
set(kubora_hardening -fstack-protector-strong -Wformat -Werror=format-security)
foreach(flag -fstack-clash-protection -fcf-protection -mbranch-protection=standard)
  string(MAKE_C_IDENTIFIER "KUBORA_HAS${flag}" has_flag)
  check_cxx_compiler_flag(${flag} ${has_flag})
  if(${has_flag})
    list(APPEND kubora_hardening ${flag})
  endif()
endforeach()
add_compile_options(${kubora_hardening} $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>
                    $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
add_link_options(-Wl,-z,relro,-z,now)
