# Optimised builds (Release, and the RelWithDebInfo that run.sh and the
# package are made from) get the hardening Debian builds its own packages
# with: fortified libc calls, stack protector and clash protection, control
# flow protection, position-independent executables and a read-only GOT
# resolved at start. Debug builds keep their flags (they are PIE too, as
# Debian's compiler makes everything), and the sanitizer and fuzzing builds
# are left alone whatever their type: fortified calls would slip past
# AddressSanitizer's interceptors.
include(CheckCompilerFlag)
include(CheckPIESupported)

if(STRATA_SANITIZE OR STRATA_FUZZ)
  return()
endif()

set(strata_optimised "$<CONFIG:Release,RelWithDebInfo>")
set(strata_hardening_flags -fstack-protector-strong)
foreach(flag -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "strata_has${flag}" var)
  check_compiler_flag(CXX ${flag} ${var})
  if(${var})
    list(APPEND strata_hardening_flags ${flag})
  endif()
endforeach()
# -U first: some compilers predefine a level of their own.
add_compile_options("$<${strata_optimised}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2;${strata_hardening_flags}>")
add_link_options("$<${strata_optimised}:LINKER:-z,relro,-z,now>")

check_pie_supported(LANGUAGES C CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

# Installing stripped (cmake --install --strip, and the package) also drops
# the compiler's .comment notes, as Debian's own stripping does.
if(CMAKE_STRIP)
  set(strata_strip ${PROJECT_BINARY_DIR}/strata-strip)
  file(WRITE ${strata_strip}
       "#!/bin/sh\nexec '${CMAKE_STRIP}' --remove-section=.comment --remove-section=.note \"$@\"\n")
  file(CHMOD ${strata_strip} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
       WORLD_READ WORLD_EXECUTE)
  set(CMAKE_STRIP ${strata_strip})
endif()
