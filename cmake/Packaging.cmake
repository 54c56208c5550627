# Installation beyond the two executables, and the Debian packages built from
# it: "program" becomes the skyglance package, "catalogue" the
# skyglance-catalogue package. Paths follow GNUInstallDirs; the packages
# install under /usr.
include(GNUInstallDirs)

set(SKYGLANCE_DEPLOY ${PROJECT_SOURCE_DIR}/deploy)

# ---- the program's desktop integration --------------------------------------

install(FILES ${SKYGLANCE_DEPLOY}/skyglance.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT program)
install(FILES ${SKYGLANCE_DEPLOY}/skyglance.service
        DESTINATION lib/systemd/user COMPONENT program)
# The site settings the user unit and the autostart entry read, in the one
# place a technician looks for them; a conffile, so upgrades keep edits.
# Decided at install time, as GNUInstallDirs does for the prefix /usr: the
# packages are laid out with that prefix whatever the build's own.
install(CODE "
  if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
    set(skyglance_etc /etc)
  else()
    set(skyglance_etc \"\${CMAKE_INSTALL_PREFIX}/etc\")
  endif()
  file(INSTALL DESTINATION \"\${skyglance_etc}/default\" TYPE FILE
       RENAME skyglance FILES \"${SKYGLANCE_DEPLOY}/skyglance.default\")"
  COMPONENT program)
# Starting the show at every user's login is the owner's choice, not the
# package's: the entry is shipped for copying into an autostart folder.
install(FILES ${SKYGLANCE_DEPLOY}/skyglance-autostart.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/skyglance COMPONENT program)

# The icon is drawn by make-pictures at build time, like the other pictures.
if(TARGET make-pictures)
  set(SKYGLANCE_ICON_DIR ${PROJECT_BINARY_DIR}/icons)
  set(SKYGLANCE_ICONS "")
  foreach(size 48 64 128 256)
    list(APPEND SKYGLANCE_ICONS ${SKYGLANCE_ICON_DIR}/hicolor/${size}x${size}/apps/skyglance.png)
  endforeach()
  list(APPEND SKYGLANCE_ICONS ${SKYGLANCE_ICON_DIR}/hicolor/scalable/apps/skyglance.svg)
  # A sanitizer build would otherwise stop at the toolkit's leaks on exit.
  add_custom_command(OUTPUT ${SKYGLANCE_ICONS}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:make-pictures> --icons ${SKYGLANCE_ICON_DIR}
    DEPENDS make-pictures
    COMMENT "Drawing the desktop icon"
    VERBATIM)
  add_custom_target(skyglance-icons ALL DEPENDS ${SKYGLANCE_ICONS})
  install(DIRECTORY ${SKYGLANCE_ICON_DIR}/hicolor
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons COMPONENT program)
endif()

# ---- the catalogue service ---------------------------------------------------

if(TARGET skyglance-catalogue)
  install(FILES ${SKYGLANCE_DEPLOY}/skyglance-catalogue.service
          DESTINATION lib/systemd/system COMPONENT catalogue)
endif()

# ---- manual pages, gzipped as Debian ships them -------------------------------

find_program(SKYGLANCE_GZIP gzip REQUIRED)
function(skyglance_manual_page name component)
  set(source ${PROJECT_SOURCE_DIR}/man/${name}.1)
  set(packed ${PROJECT_BINARY_DIR}/man/${name}.1.gz)
  # -n: no name or time stamp inside, so that rebuilds give the same bytes.
  add_custom_command(OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${SKYGLANCE_GZIP} -9nc ${source} > ${packed}
    DEPENDS ${source}
    VERBATIM)
  add_custom_target(man-${name} ALL DEPENDS ${packed})
  install(FILES ${packed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
endfunction()
skyglance_manual_page(skyglance program)
if(TARGET skyglance-catalogue)
  skyglance_manual_page(skyglance-catalogue catalogue)
endif()

# ---- Debian's copyright file and changelog, in each package's doc folder --------

set(SKYGLANCE_DEB_RELEASE 1)
set(SKYGLANCE_DEB_VERSION ${PROJECT_VERSION}-${SKYGLANCE_DEB_RELEASE})
set(CPACK_PACKAGE_CONTACT "Skyglance maintainers <maintainers@users.noreply.c-seed-79f8b01c.example>")
# Honours SOURCE_DATE_EPOCH, for builds that must give the same bytes.
string(TIMESTAMP SKYGLANCE_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${SKYGLANCE_DEPLOY}/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog.Debian
               @ONLY)
set(SKYGLANCE_CHANGELOG_GZ ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
add_custom_command(OUTPUT ${SKYGLANCE_CHANGELOG_GZ}
  COMMAND ${SKYGLANCE_GZIP} -9nc ${PROJECT_BINARY_DIR}/debian/changelog.Debian > ${SKYGLANCE_CHANGELOG_GZ}
  DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian
  VERBATIM)
add_custom_target(debian-changelog ALL DEPENDS ${SKYGLANCE_CHANGELOG_GZ})
function(skyglance_debian_docs package component)
  install(FILES ${SKYGLANCE_DEPLOY}/debian/copyright ${SKYGLANCE_CHANGELOG_GZ}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endfunction()
skyglance_debian_docs(skyglance program)
if(TARGET skyglance-catalogue)
  skyglance_debian_docs(skyglance-catalogue catalogue)
endif()

# ---- Debian packages (cpack -G DEB, or the "package" target) ------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skyglance)
set(CPACK_PACKAGE_VENDOR "Skyglance")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program)
if(TARGET skyglance-catalogue)
  list(APPEND CPACK_COMPONENTS_ALL catalogue)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${SKYGLANCE_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Maintainer scripts executable, conffiles lists readable, whatever the umask.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Descriptions: a summary line, then the text; CPack indents it for the
# control file and turns an empty line into a paragraph break.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME skyglance)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION x11)
# JPEG, GIF and PNG decoding come with Qt; the plugins add the rarer formats
# a catalogue may point at. The packaged site settings name the service on
# this machine, which a screen served from elsewhere can go without.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, skyglance-catalogue")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_CONTROL_EXTRA ${SKYGLANCE_DEPLOY}/debian/skyglance/conffiles)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION
"full-screen weather slide show
Skyglance asks a catalogue service which weather pictures, animated radar
loops, numbered map series and forecast pages its user ticked, downloads
them, and shows them one after the other, full screen, with a status bar.
It downloads them again every few minutes and keeps going unattended for
days, on a screen in a shop, a hotel lobby or a ski station.

The package includes a systemd user unit and an XDG autostart entry for
kiosk use, both reading their site settings from /etc/default/skyglance,
which points at the skyglance-catalogue service on this machine.")

set(CPACK_DEBIAN_CATALOGUE_PACKAGE_NAME skyglance-catalogue)
set(CPACK_DEBIAN_CATALOGUE_PACKAGE_SECTION web)
set(CPACK_DEBIAN_CATALOGUE_DESCRIPTION
"picture catalogue service for the Skyglance slide show
skyglance-catalogue is the small HTTP service the Skyglance slide show asks
for its picture catalogue. It serves a sample catalogue kept in SQLite, the
version file, the collections package, help pages and a sample weather site
whose pictures are drawn anew as the clock moves on.

The package includes a hardened systemd system unit, enabled and started
on installation.")
# Enable and start the unit on installation, stop it on removal, drop its
# state on purge, as debhelper's scripts do.
set(CPACK_DEBIAN_CATALOGUE_PACKAGE_CONTROL_EXTRA
    ${SKYGLANCE_DEPLOY}/debian/skyglance-catalogue/postinst
    ${SKYGLANCE_DEPLOY}/debian/skyglance-catalogue/prerm
    ${SKYGLANCE_DEPLOY}/debian/skyglance-catalogue/postrm)

include(CPack)
