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
install(FILES ${PROJECT_SOURCE_DIR}/docs/vornic.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/data/io.github.vornic.Vornic.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

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
# Each destination gets its own copy in the build tree, so that installs into
# different places (a test install and cpack, say) can run side by side.
install(CODE "
  set(VORNIC_INSTALL_BINDIR \"${_vornic_bindir}\")
  set(VORNIC_INSTALL_SHAREDIR \"${_vornic_datadir}/vornic\")
  string(MD5 _vornic_dest \"\$ENV{DESTDIR}\${VORNIC_INSTALL_SHAREDIR}\")
  set(_vornic_entry \"${CMAKE_CURRENT_BINARY_DIR}/desktop-entry/\${_vornic_dest}/vornic.desktop\")
  configure_file(\"${PROJECT_SOURCE_DIR}/data/vornic.desktop.in\" \"\${_vornic_entry}\" @ONLY)
  file(INSTALL DESTINATION \"${_vornic_datadir}/applications\" TYPE FILE FILES \"\${_vornic_entry}\")
")

# Debian package: cpack -G DEB.  The run-time dependencies are worked out by
# dpkg-shlibdeps (from dpkg-dev) from the libraries the binary links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vornic)
set(CPACK_PACKAGE_VENDOR "Vornic developers")
set(CPACK_PACKAGE_CONTACT "Vornic developers <vornic@example.org>")
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
# A source package (cpack --config CPackSourceConfig.cmake) leaves out the
# build trees, which live inside the source tree.
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build[^/]*/" "/cmake-build[^/]*/")
include(CPack)
