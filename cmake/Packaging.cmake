# Installs ZAK Manager as a desktop application and describes its Debian package
# (tools/package.sh builds it with CPack).
set(ZAK_APP_ID cz.zak.ZakManager)
set(ZAK_DATA ${PROJECT_SOURCE_DIR}/data)
set(ZAK_PACKAGE_MAINTAINER "ZAK Manager maintainers <maintainers@users.noreply.c-seed-b4ab255f.example>"
    CACHE STRING "Maintainer field of the Debian package: name <address>")

install(FILES ${ZAK_DATA}/${ZAK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZAK_DATA}/${ZAK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ZAK_DATA}/${ZAK_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Every page in docs/man/ is installed, gzip-compressed without a time stamp so that
# the package is the same from one build to the next.
file(GLOB zak_man_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/*.1)
set(zak_man_gz "")
foreach(page IN LISTS zak_man_pages)
  get_filename_component(name ${page} NAME)
  set(gz ${CMAKE_BINARY_DIR}/man/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9nc ${page} > ${gz}
    DEPENDS ${page} VERBATIM)
  list(APPEND zak_man_gz ${gz})
endforeach()
add_custom_target(zak_man_pages ALL DEPENDS ${zak_man_gz})
install(FILES ${zak_man_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Debian wants the copyright and changelog of each package beside its documentation.
set(zak_doc ${CMAKE_INSTALL_DATADIR}/doc/zak-manager)
configure_file(${ZAK_DATA}/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
set(zak_changelog_gz ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${zak_changelog_gz}
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/changelog > ${zak_changelog_gz}
  DEPENDS ${CMAKE_BINARY_DIR}/changelog VERBATIM)
add_custom_target(zak_changelog ALL DEPENDS ${zak_changelog_gz})
install(FILES ${ZAK_DATA}/copyright ${zak_changelog_gz} DESTINATION ${zak_doc})
install(FILES ${ZAK_DATA}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME zak-manager)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zak-manager)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ZAK_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps. Qt loads the SVG icon engine
# (the window's icon) as a plug-in, which dpkg-shlibdeps cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6svg6)
# Without "MS Sans Serif" the window takes Liberation Sans, and the printed list's "Courier
# New" becomes Liberation Mono through fontconfig: faces of the same metrics, so the
# layouts line up as designed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
# The package's short description; its long one is the file's text (CPack escapes
# apostrophes there as XML, so the text has none).
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "key list manager for ZAK lift access-control units")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${ZAK_DATA}/description.txt)
include(CPack)
