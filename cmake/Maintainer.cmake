# The maintainer of a Vornic package is whoever builds it.  Vornic has no
# maintainer address of its own to write into a package, and a made-up one
# would send bug reports nowhere; the builder is the person who can answer
# for the package they made.  As Debian's own tools (dch, debmake) do, the
# name and address come from DEBFULLNAME and DEBEMAIL (DEBEMAIL may also be
# "Name <address>"), or from NAME and EMAIL, and failing those from the git
# identity of the source tree.
#
# cpack reads this file as its project configuration, so the identity is
# the one in force when the package is made, not when the tree was
# configured; the install of the package's changelog reads it too.  It
# sets VORNIC_MAINTAINER and CPACK_DEBIAN_PACKAGE_MAINTAINER.
#
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers

set(_name "$ENV{DEBFULLNAME}")
if(_name STREQUAL "")
  set(_name "$ENV{NAME}")
endif()
set(_email "$ENV{DEBEMAIL}")
if(_email STREQUAL "")
  set(_email "$ENV{EMAIL}")
endif()
if(_email MATCHES "^(.*[^ ]) *<([^>]*)>$")
  if(_name STREQUAL "")
    set(_name "${CMAKE_MATCH_1}")
  endif()
  set(_email "${CMAKE_MATCH_2}")
endif()
foreach(_key name email)
  if(_${_key} STREQUAL "")
    execute_process(COMMAND git -C "${CMAKE_CURRENT_LIST_DIR}/.." config user.${_key}
                    OUTPUT_VARIABLE _${_key} OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
endforeach()
if(_name STREQUAL "" OR _email STREQUAL "")
  message(FATAL_ERROR "A Vornic package is maintained by whoever builds it: set DEBFULLNAME "
                      "and DEBEMAIL to your name and e-mail address (or give git a user.name "
                      "and user.email) and run cpack again.")
endif()
set(VORNIC_MAINTAINER "${_name} <${_email}>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VORNIC_MAINTAINER}")
