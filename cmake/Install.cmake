# make install: the two programs with their manual pages, the web process extension, the
# desktop entry (registered for web links and HTML files), its AppStream metadata and the
# icon. PREFIX comes from CMAKE_INSTALL_PREFIX (default /usr/local); DESTDIR is honoured.
# The desktop's caches are refreshed only for a live install: a staged one (DESTDIR)
# leaves that to the package's triggers.
include(GNUInstallDirs)
install(TARGETS vorlane vorlane-favorites RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vorlane_process_report LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/vorlane/web-extension)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/vorlane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# Software centres find the metadata by its component id, so it is installed under that name.
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/vorlane.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME io.github.vorlane.Vorlane.metainfo.xml)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/vorlane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Pixel sizes beside the scalable icon, for panels and menus that want exact pixels
# (rendered from the SVG by scripts/render-icons.sh).
foreach(size 16 32 48 128)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/icons/${size}x${size}/vorlane.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/docs/man/vorlane.1 ${PROJECT_SOURCE_DIR}/docs/man/vorlane-favorites.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    find_program(UPDATE_DESKTOP_DATABASE update-desktop-database)
    if(UPDATE_DESKTOP_DATABASE)
      execute_process(COMMAND ${UPDATE_DESKTOP_DATABASE} -q "${CMAKE_INSTALL_PREFIX}/share/applications")
    endif()
    find_program(GTK_UPDATE_ICON_CACHE gtk-update-icon-cache)
    if(GTK_UPDATE_ICON_CACHE)
      execute_process(COMMAND ${GTK_UPDATE_ICON_CACHE} -q -t -f "${CMAKE_INSTALL_PREFIX}/share/icons/hicolor")
    endif()
  endif()
]])
