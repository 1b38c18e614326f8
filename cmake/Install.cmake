# make install: the two programs, the web process extension, the desktop entry (registered for web links and HTML
# files) and the icon. PREFIX comes from CMAKE_INSTALL_PREFIX (default /usr/local);
# DESTDIR is honoured. The desktop's caches are refreshed only for a live install: a
# staged one (DESTDIR) leaves that to the package's triggers.
include(GNUInstallDirs)
install(TARGETS vorlane vorlane-favorites RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vorlane_process_report LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/vorlane/web-extension)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/vorlane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/vorlane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
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
