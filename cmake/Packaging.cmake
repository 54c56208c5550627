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

# ---- Debian packages (cpack -G DEB, or the "package" target) ------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skyglance)
set(CPACK_PACKAGE_VENDOR "Skyglance")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Skyglance maintainers <maintainers@users.noreply.c-seed-79f8b01c.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program)
if(TARGET skyglance-catalogue)
  list(APPEND CPACK_COMPONENTS_ALL catalogue)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# Descriptions: a summary line, then the text; CPack indents it for the
# control file and turns an empty line into a paragraph break.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME skyglance)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION x11)
# JPEG, GIF and PNG decoding come with Qt; the plugins add the rarer formats
# a catalogue may point at.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS qt6-image-formats-plugins)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SUGGESTS skyglance-catalogue)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION
"full-screen weather slide show
Skyglance asks a catalogue service which weather pictures, animated radar
loops, numbered map series and forecast pages its user ticked, downloads
them, and shows them one after the other, full screen, with a status bar.
It downloads them again every few minutes and keeps going unattended for
days, on a screen in a shop, a hotel lobby or a ski station.

The package includes a systemd user unit and an XDG autostart entry for
kiosk use.")

set(CPACK_DEBIAN_CATALOGUE_PACKAGE_NAME skyglance-catalogue)
set(CPACK_DEBIAN_CATALOGUE_PACKAGE_SECTION web)
set(CPACK_DEBIAN_CATALOGUE_DESCRIPTION
"picture catalogue service for the Skyglance slide show
skyglance-catalogue is the small HTTP service the Skyglance slide show asks
for its picture catalogue. It serves a sample catalogue kept in SQLite, the
version file, the collections package, help pages and a sample weather site
whose pictures are drawn anew as the clock moves on.

The package includes a hardened systemd system unit.")

include(CPack)
