# `make package`: a Debian package of the installed tree (cmake/Install.cmake), for /usr.
# Its library dependencies are found by dpkg-shlibdeps (packages dpkg-dev and file).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME strelmark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Brindlewick)
set(CPACK_PACKAGE_CONTACT "Brindlewick <support@brindlewick.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.brindlewick.example/strelmark)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "remove lines or characters from many text files at once")
# The long description: lines under 80 columns, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
  "Strelmark edits many HTML pages, or any other text files, in one go. You
build a list of files, choose one of six removals (the lines that contain a
text, the lines that do not, the text itself, everything but the text, one
line by its number, or the blank lines), and Strelmark writes every file's
result into one folder or in place of the file.

Files are handled as bytes, so every byte a result keeps comes back
unchanged, whatever the encoding; binary files are left alone, and UTF-16
and UTF-32 files are written back in their own encoding. Each result is
written in full before it takes a file's place, and every run can be taken
back. The window and the command line speak English, German, French,
Spanish and Russian.")
# dpkg shows each line with a space before it: a longer line would pass 79 columns.
string(REPLACE "\n" ";" description_lines "${CPACK_PACKAGE_DESCRIPTION}")
foreach(line IN LISTS description_lines)
  string(LENGTH "${line}" length)
  if(length GREATER 78)
    message(FATAL_ERROR "A line of the package's description is longer than 78 characters: ${line}")
  endif()
endforeach()
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped by the install rules instead, as Debian strips (cmake/Install.cmake).
set(CPACK_STRIP_FILES OFF)
# Tells the install rules that they install for the package (the manual page is gzipped).
set(CPACK_CUSTOM_INSTALL_VARIABLES STRELMARK_PACKAGING=TRUE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CPACK_PACKAGE_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's font (Arial's metric twin), and Qt's platform plugin for Wayland sessions:
# without it, a Wayland desktop without XWayland could not show the window at all. Qt picks it
# under Wayland, and the X11 one (in Qt's own libraries) elsewhere. The libraries are added by
# dpkg-shlibdeps (the legacy charsets' conversion is the C library's iconv, whose
# converters libc6 ships).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-wayland")
# Qt's own catalogues, which translate the buttons of message boxes and dialogs (Yes, No,
# Cancel) into the language of the program's catalogue (share/strelmark/translations).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
# bash's completion framework, which loads the completions of the command line.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS bash-completion)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
