# Debian's hardening flags, as dpkg-buildflags gives them with every hardening
# feature on: fortified libc calls, a strong stack protector, format string
# checks, and read-only relocations bound at start. The optimisation and debug
# flags stay the build type's. Sanitizer and fuzz builds bring their own
# instrumentation and go without.
option(SKYGLANCE_HARDENING "Build with Debian's hardening flags (dpkg-buildflags)" ON)
find_program(SKYGLANCE_DPKG_BUILDFLAGS dpkg-buildflags)

function(skyglance_debian_flags kind out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${SKYGLANCE_DPKG_BUILDFLAGS} --get ${kind}
    OUTPUT_VARIABLE text OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${text}")
  list(FILTER flags EXCLUDE REGEX "^-(g.*|O.*|f(file|debug|macro)-prefix-map=.*)$")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

if(SKYGLANCE_HARDENING AND SKYGLANCE_DPKG_BUILDFLAGS AND NOT SKYGLANCE_SANITIZE
   AND NOT SKYGLANCE_FUZZ)
  skyglance_debian_flags(CPPFLAGS cppflags)
  skyglance_debian_flags(CXXFLAGS cxxflags)
  skyglance_debian_flags(LDFLAGS ldflags)
  foreach(flag IN LISTS cppflags cxxflags)
    if(flag MATCHES "^-D_FORTIFY_SOURCE")
      # Fortification needs the optimiser; glibc warns without it.
      add_compile_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
    else()
      add_compile_options(${flag})
    endif()
  endforeach()
  add_link_options(${ldflags})
  list(JOIN cppflags " " text)
  message(STATUS "Hardening flags: ${text} ${cxxflags} ${ldflags}")
endif()
