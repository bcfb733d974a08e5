# Installation and the Debian package: the program, its desktop entry, icons
# in the hicolor theme, AppStream metadata, shell completions and the manual
# page.
#   cmake --install BUILD [--prefix /usr]
#   cpack --config BUILD/CPackConfig.cmake   (in BUILD: a .deb)
include(GNUInstallDirs)

set(MT_APP_ID org.middletext.MiddleText)
set(MT_DATA ${CMAKE_SOURCE_DIR}/data)

install(TARGETS middletext RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The window module, which the program opens when the window starts.
install(TARGETS middletext-window LIBRARY DESTINATION ${MT_WINDOW_MODULE_INSTALL_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${MT_DATA}/${MT_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The metadata's newest release and the manual page's header carry the
# project's version.
configure_file(${MT_DATA}/${MT_APP_ID}.metainfo.xml ${CMAKE_BINARY_DIR}/${MT_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${MT_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
  install(FILES ${MT_DATA}/icons/${size}.png RENAME ${MT_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${MT_DATA}/icons/scalable.svg RENAME ${MT_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Shell completions (written from the option table, cmake/option_table.cmake),
# each where its shell looks for those of installed programs.
install(FILES ${MT_COMPLETIONS}/middletext.bash RENAME middletext
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${MT_COMPLETIONS}/_middletext DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
install(FILES ${MT_COMPLETIONS}/middletext.fish DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)

# The package's documentation folder: the copyright file and the changelog,
# which names the packager. A packager sets MT_PACKAGE_MAINTAINER.
set(MT_PACKAGE_MAINTAINER "middletext developers <middletext@example.org>"
    CACHE STRING "The package's maintainer, as \"Name <address>\"")
set(MT_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/middletext)
install(FILES ${MT_DATA}/copyright DESTINATION ${MT_DOC_DIR})
configure_file(${MT_DATA}/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)

# Manual pages and changelogs go compressed, as Debian keeps them. The manual
# page is made from data/middletext.1.in and the option table
# (cmake/option_table.cmake).
find_program(MT_GZIP gzip)
if(MT_GZIP)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/middletext.1.gz
    COMMAND ${MT_GZIP} -9n -c ${MT_MANUAL_PAGE} > ${CMAKE_BINARY_DIR}/middletext.1.gz
    DEPENDS ${MT_MANUAL_PAGE}
    COMMENT "Manual page")
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
    COMMAND ${MT_GZIP} -9n -c ${CMAKE_BINARY_DIR}/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
    DEPENDS ${CMAKE_BINARY_DIR}/changelog
    COMMENT "Changelog")
  add_custom_target(mt_manual ALL DEPENDS ${CMAKE_BINARY_DIR}/middletext.1.gz ${CMAKE_BINARY_DIR}/changelog.gz)
  install(FILES ${CMAKE_BINARY_DIR}/middletext.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${MT_DOC_DIR})
else()
  install(FILES ${MT_MANUAL_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_BINARY_DIR}/changelog DESTINATION ${MT_DOC_DIR})
endif()
# The window's picture, which the AppStream metadata names as its screenshot.
install(FILES ${CMAKE_SOURCE_DIR}/docs/window.png DESTINATION ${MT_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME middletext)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "middletext")
set(CPACK_PACKAGE_CONTACT "${MT_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop tool for testing middle-text extraction")
set(CPACK_PACKAGE_DESCRIPTION "Shows the text between a left and a right text of a large text
(typed, pasted or read from a web page), finds a text occurrence by
occurrence, counts its bytes and generates the source of an extraction
subroutine. The same extraction runs from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links (dpkg-shlibdeps finds them with their
# versions), and what it needs at run time without linking it: HTTPS needs
# the certificate store, and the window's texts need a Chinese font. The X11
# platform and image plugins come with libqt6gui6.
# libcurl is opened at run time (net/curl_library.cpp), so dpkg-shlibdeps
# cannot see it.
set(MT_RUNTIME_NEEDS "libcurl4 (>= 7.68), ca-certificates, fonts-wqy-microhei | fonts-noto-cjk")
find_program(MT_SHLIBDEPS dpkg-shlibdeps)
if(MT_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${MT_RUNTIME_NEEDS}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6gui6, libqt6core6, libidn2-0, ${MT_RUNTIME_NEEDS}")
endif()
include(CPack)
