# Defines the imported target calc_gmp: GMP's C library (gmp.h, mpz_*), for
#   target_link_libraries(<target> PUBLIC calc_gmp)
#
# Natively it is Debian's libgmp-dev. The Windows programs link GMP
# statically, so that each .exe stays a single file: the library built by
# tools/build-gmp-mingw.sh for i686-w64-mingw32, found in
# CALC_GMP_MINGW_PREFIX (by default the cache folder that script installs
# into).
if(TARGET calc_gmp)
  return()
endif()

if(WIN32)
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    message(FATAL_ERROR "GMP is built for 32-bit Windows (i686-w64-mingw32) only")
  endif()
  set(calc_gmp_host i686-w64-mingw32)
  if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(calc_gmp_cache "$ENV{XDG_CACHE_HOME}")
  else()
    set(calc_gmp_cache "$ENV{HOME}/.cache")
  endif()
  if(DEFINED ENV{CALC_GMP_MINGW_PREFIX} AND NOT "$ENV{CALC_GMP_MINGW_PREFIX}" STREQUAL "")
    set(calc_gmp_default "$ENV{CALC_GMP_MINGW_PREFIX}")
  else()
    set(calc_gmp_default "${calc_gmp_cache}/fraction-calculators/gmp-${calc_gmp_host}")
  endif()
  set(CALC_GMP_MINGW_PREFIX "${calc_gmp_default}" CACHE PATH
      "Where tools/build-gmp-mingw.sh installed GMP for ${calc_gmp_host}")
  # Looked up directly: the toolchain files confine find_library() to the
  # MinGW sysroot, and nothing but this folder may supply the library.
  set(calc_gmp_library "${CALC_GMP_MINGW_PREFIX}/lib/libgmp.a")
  set(calc_gmp_include "${CALC_GMP_MINGW_PREFIX}/include")
  if(NOT EXISTS "${calc_gmp_library}" OR NOT EXISTS "${calc_gmp_include}/gmp.h")
    message(FATAL_ERROR
      "GMP for ${calc_gmp_host} is not built in ${CALC_GMP_MINGW_PREFIX} "
      "(no lib/libgmp.a or include/gmp.h there). Run: bash tools/build-gmp-mingw.sh "
      "(tools/install-deps.sh runs it), or set CALC_GMP_MINGW_PREFIX to where "
      "it is.")
  endif()
else()
  find_path(CALC_GMP_INCLUDE_DIR gmp.h)
  find_library(CALC_GMP_LIBRARY gmp)
  if(NOT CALC_GMP_INCLUDE_DIR OR NOT CALC_GMP_LIBRARY)
    message(FATAL_ERROR
      "GMP is missing (gmp.h or libgmp not found): install libgmp-dev, "
      "e.g. by running tools/install-deps.sh as root.")
  endif()
  set(calc_gmp_library "${CALC_GMP_LIBRARY}")
  set(calc_gmp_include "${CALC_GMP_INCLUDE_DIR}")
endif()

add_library(calc_gmp UNKNOWN IMPORTED GLOBAL)
set_target_properties(calc_gmp PROPERTIES
  IMPORTED_LOCATION "${calc_gmp_library}"
  INTERFACE_INCLUDE_DIRECTORIES "${calc_gmp_include}")
