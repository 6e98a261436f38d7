cmake_minimum_required(VERSION 3.25)
# Installs the build into a scratch prefix and checks that the desktop finds what it needs there:
# the program, its launcher (valid, handling ribbex: links), its icon and its AppStream data.
set(prefix "${BUILD_DIR}/install-check")
file(REMOVE_RECURSE "${prefix}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()

set(launcher "${prefix}/share/applications/com.ribbex.Ribbex.desktop")
foreach(path bin/ribbex share/applications/com.ribbex.Ribbex.desktop
    share/icons/hicolor/scalable/apps/com.ribbex.Ribbex.svg share/metainfo/com.ribbex.Ribbex.metainfo.xml)
  if(NOT EXISTS "${prefix}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

file(STRINGS "${launcher}" lines)
foreach(expected "Exec=ribbex %u" "MimeType=x-scheme-handler/ribbex;" "Icon=com.ribbex.Ribbex")
  if(NOT expected IN_LIST lines)
    message(FATAL_ERROR "the launcher lacks \"${expected}\"")
  endif()
endforeach()

foreach(check "desktop-file-validate;${launcher}"
    "appstreamcli;validate;--no-net;${prefix}/share/metainfo/com.ribbex.Ribbex.metainfo.xml"
    "xmllint;--noout;${prefix}/share/icons/hicolor/scalable/apps/com.ribbex.Ribbex.svg")
  execute_process(COMMAND ${check} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${check}: ${out}")
  endif()
endforeach()
file(REMOVE_RECURSE "${prefix}")
