# Where everything goes on `cmake --install` (and in the package): the program in bin/, the
# files it finds in its folder in share/strelmark/ (resources/CMakeLists.txt), and what a
# desktop needs to offer it: the desktop entry, the icon in every theme size, the AppStream
# metainfo and the manual page.
include(GNUInstallDirs)

# The desktop entry's name without ".desktop"; the program sets the same as its desktop file
# name, and the icon is called so too.
set(STRELMARK_DESKTOP_ID example.brindlewick.Strelmark)
# The day the version in project() was released; change the two together.
set(STRELMARK_RELEASE_DATE 2026-12-08)

set(desktop_sources ${CMAKE_SOURCE_DIR}/resources/desktop)
set(icon_sources ${CMAKE_SOURCE_DIR}/resources/icons/hicolor)
set(STRELMARK_DESKTOP_ENTRY ${desktop_sources}/${STRELMARK_DESKTOP_ID}.desktop)
set(STRELMARK_METAINFO ${CMAKE_BINARY_DIR}/share/metainfo/${STRELMARK_DESKTOP_ID}.metainfo.xml)
configure_file(${desktop_sources}/${STRELMARK_DESKTOP_ID}.metainfo.xml.in ${STRELMARK_METAINFO}
  @ONLY)

install(TARGETS strelmark RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The window, which the program loads from there (app/CMakeLists.txt).
install(TARGETS strelmark_window_module LIBRARY DESTINATION ${STRELMARK_MODULE_DIR})
# In the package both are stripped as Debian strips its binaries (dh_strip): no symbols but
# those the dynamic linker needs, no compiler notes. There is no debug package.
install(CODE "
  if(STRELMARK_PACKAGING)
    foreach(binary bin/strelmark
                   ${STRELMARK_MODULE_DIR}/$<TARGET_FILE_NAME:strelmark_window_module>)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
        --remove-section=.note --strip-unneeded \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${binary}\"
        RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR \"strip failed on \${binary}\")
      endif()
    endforeach()
  endif()
")
# The licence, as Debian wants it (machine-readable, in the package's documentation folder);
# the package also carries its changelog there, gzipped, and its lintian overrides.
set(STRELMARK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/strelmark)
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/copyright DESTINATION ${STRELMARK_DOC_DIR})
install(CODE "
  if(STRELMARK_PACKAGING)
    set(changelog \"${CMAKE_BINARY_DIR}/changelog.gz\")
    execute_process(COMMAND gzip -9 -n -c \"${CMAKE_SOURCE_DIR}/resources/debian/changelog\"
      OUTPUT_FILE \"\${changelog}\" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR \"gzip could not compress the changelog\")
    endif()
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${STRELMARK_DOC_DIR}\" TYPE FILE
      FILES \"\${changelog}\")
    # What lintian is told to accept, each with its reason.
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/lintian/overrides\"
      TYPE FILE FILES \"${CMAKE_SOURCE_DIR}/resources/debian/lintian-overrides\"
      RENAME strelmark)
  endif()
")
install(FILES ${STRELMARK_DESKTOP_ENTRY} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${STRELMARK_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${icon_sources}/${size}x${size}/apps/${STRELMARK_DESKTOP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${icon_sources}/scalable/apps/${STRELMARK_DESKTOP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The shells' completions of the command line (cli/completions), where each shell looks: bash's
# (bash-completion) and fish's in their folders of the prefix's data folder, zsh's in its
# site-functions, or for /usr (the Debian package) in Debian's vendor-completions, the folder of
# zsh's function path that is meant for packages.
set(completions ${CMAKE_SOURCE_DIR}/cli/completions)
install(FILES ${completions}/strelmark.bash
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME strelmark)
install(FILES ${completions}/strelmark.fish
  DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)
install(CODE "
  if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
    set(zsh_folder vendor-completions)
  else()
    set(zsh_folder site-functions)
  endif()
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/zsh/\${zsh_folder}\"
    TYPE FILE FILES \"${completions}/_strelmark\")
")
# The manual page of the command line: as it is for `make install`, gzipped in the Debian
# package (as Debian's policy wants; man reads either). CPack sets STRELMARK_PACKAGING for the
# install it packs (cmake/Packaging.cmake).
if(EXISTS ${CMAKE_SOURCE_DIR}/doc/strelmark.1)
  set(STRELMARK_MAN_PAGE ${CMAKE_SOURCE_DIR}/doc/strelmark.1)
  install(CODE "
    set(page \"${STRELMARK_MAN_PAGE}\")
    if(STRELMARK_PACKAGING)
      set(page \"${CMAKE_BINARY_DIR}/strelmark.1.gz\")
      execute_process(COMMAND gzip -9 -n -c \"${STRELMARK_MAN_PAGE}\" OUTPUT_FILE \"\${page}\"
        RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR \"gzip could not compress the manual page\")
      endif()
    endif()
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1\" TYPE FILE
      FILES \"\${page}\")
  ")
endif()
