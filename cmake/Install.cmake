# Install rules and the Debian package.
#
# Vornic reads its catalogue as "locales" from the working directory, so the
# shipped catalogue goes to share/vornic and the desktop entry starts the
# program there.
#
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers

include(GNUInstallDirs)

install(TARGETS vornic RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/locales DESTINATION ${CMAKE_INSTALL_DATADIR}/vornic)

# Vornic has no web home of its own that anybody here controls, and a
# made-up address would send its users nowhere: whoever builds it may name
# one, which then goes into the metainfo and the Debian package.  Left
# empty, both leave the homepage out (and AppStream 1.0's validator warns).
set(VORNIC_HOMEPAGE "" CACHE STRING "Vornic's homepage, for the metainfo and the package (none when empty)")
set(VORNIC_METAINFO_URL "")
if(NOT VORNIC_HOMEPAGE STREQUAL "")
  string(REPLACE "&" "&amp;" _vornic_url "${VORNIC_HOMEPAGE}")
  set(VORNIC_METAINFO_URL "  <url type=\"homepage\">${_vornic_url}</url>\n")
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VORNIC_HOMEPAGE}")
endif()
# AppStream 1.0 names the developer in <developer> and calls <developer_name>
# deprecated; AppStream 0.16 (Debian 12) knows only <developer_name>.  The
# metainfo follows the AppStream of the system it is built on, which is the
# one a package built there is for; without appstreamcli, the current form.
set(VORNIC_METAINFO_DEVELOPER "  <developer id=\"io.github.vornic\">\n    <name>The Vornic developers</name>\n  </developer>")
find_program(VORNIC_APPSTREAMCLI appstreamcli)
if(VORNIC_APPSTREAMCLI)
  execute_process(COMMAND ${VORNIC_APPSTREAMCLI} --version OUTPUT_VARIABLE _vornic_appstream ERROR_QUIET)
  if(_vornic_appstream MATCHES "version: 0\\.")
    set(VORNIC_METAINFO_DEVELOPER "  <developer_name>The Vornic developers</developer_name>")
  endif()
endif()
set(VORNIC_METAINFO ${CMAKE_CURRENT_BINARY_DIR}/io.github.vornic.vornic.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/data/io.github.vornic.vornic.metainfo.xml.in ${VORNIC_METAINFO} @ONLY)
install(FILES ${VORNIC_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The program looks for its icon in hicolor/NxN/apps of the data
# directories; desktops find the scalable one there too.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${PROJECT_SOURCE_DIR}/data/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Debian ships the licence once for all packages (common-licenses/GPL-3, to
# which the copyright file points), so the package leaves COPYING out; see
# CPACK_COMPONENTS_ALL below.
install(FILES ${PROJECT_SOURCE_DIR}/COPYING DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT licence)

# Manual pages are installed compressed, without a name or time stamp in
# the gzip header so that the same page always gives the same bytes.
set(_vornic_manpage ${CMAKE_CURRENT_BINARY_DIR}/man/vornic.1)
add_custom_command(OUTPUT ${_vornic_manpage}.gz
                   COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/vornic.1 ${_vornic_manpage}
                   COMMAND gzip -9nf ${_vornic_manpage}
                   DEPENDS ${PROJECT_SOURCE_DIR}/docs/vornic.1 VERBATIM)
add_custom_target(vornic-manpage ALL DEPENDS ${_vornic_manpage}.gz)
install(FILES ${_vornic_manpage}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The desktop entry names the installed program and share directory by their
# absolute paths.  The prefix is only settled when installing (cmake --install
# --prefix, and cpack, choose it then), so the entry is written at that time;
# DESTDIR is a staging root and stays out of the paths.
function(vornic_installed_dir out dir)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "\${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()
vornic_installed_dir(_vornic_bindir "${CMAKE_INSTALL_BINDIR}")
vornic_installed_dir(_vornic_datadir "${CMAKE_INSTALL_DATADIR}")
vornic_installed_dir(_vornic_docdir "${CMAKE_INSTALL_DOCDIR}")
# Each destination gets its own copy in the build tree, so that installs into
# different places (a test install and cpack, say) can run side by side.
install(CODE "
  set(VORNIC_INSTALL_BINDIR \"${_vornic_bindir}\")
  set(VORNIC_INSTALL_SHAREDIR \"${_vornic_datadir}/vornic\")
  string(MD5 _vornic_dest \"\$ENV{DESTDIR}\${VORNIC_INSTALL_SHAREDIR}\")
  set(_vornic_entry \"${CMAKE_CURRENT_BINARY_DIR}/desktop-entry/\${_vornic_dest}/io.github.vornic.vornic.desktop\")
  configure_file(\"${PROJECT_SOURCE_DIR}/data/io.github.vornic.vornic.desktop.in\" \"\${_vornic_entry}\" @ONLY)
  file(INSTALL DESTINATION \"${_vornic_datadir}/applications\" TYPE FILE FILES \"\${_vornic_entry}\")
")

# Debian package: cpack -G DEB.  The run-time dependencies are worked out by
# dpkg-shlibdeps (from dpkg-dev) from the libraries the binary links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vornic)
set(CPACK_PACKAGE_VENDOR "The Vornic developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "prepare the descriptive data of applications for a PND package")
set(CPACK_PACKAGE_DESCRIPTION
    "Vornic is a small GTK+ desktop tool in which a developer prepares, for each
application shipped in a PND package, its general information, its runtime
settings and its localised names and descriptions.  Every value is checked
before it is stored.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The maintainer is whoever runs cpack; cmake/Maintainer.cmake says why.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/Maintainer.cmake)
# One package made of chosen components: everything but COPYING, plus what
# only a Debian package carries (the "debian" component, which a plain
# install skips).
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified debian)

# Debian wants a changelog in every package.  Its one entry records this
# build: the builder's identity, and the time of the build (or
# SOURCE_DATE_EPOCH, which string(TIMESTAMP) honours, for a reproducible one).
install(CODE "
  set(_vornic_upstream \"${PROJECT_VERSION}\")
  set(_vornic_version \"${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}\")
  set(_vornic_changelog \"${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian\")
  set(_vornic_docdir \"${_vornic_docdir}\")
  include(\"${PROJECT_SOURCE_DIR}/cmake/Maintainer.cmake\")
" COMPONENT debian EXCLUDE_FROM_ALL)
install(CODE [=[
  string(TIMESTAMP _vornic_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
  file(WRITE "${_vornic_changelog}" "vornic (${_vornic_version}) UNRELEASED; urgency=medium

  * Vornic ${_vornic_upstream}, packaged with CPack from its source tree.

 -- ${VORNIC_MAINTAINER}  ${_vornic_date}
")
  execute_process(COMMAND gzip -9nf "${_vornic_changelog}" RESULT_VARIABLE _vornic_status)
  if(NOT _vornic_status EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${_vornic_changelog}")
  endif()
  file(INSTALL DESTINATION "${_vornic_docdir}" TYPE FILE FILES "${_vornic_changelog}.gz")
]=] COMPONENT debian EXCLUDE_FROM_ALL)

install(FILES ${PROJECT_SOURCE_DIR}/data/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME vornic COMPONENT debian EXCLUDE_FROM_ALL)

# A source package (cpack --config CPackSourceConfig.cmake) leaves out the
# build trees, which live inside the source tree.
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/cmake-build[^/]*/")
include(CPack)
