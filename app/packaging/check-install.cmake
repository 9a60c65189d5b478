# Installs the build tree into a scratch prefix and checks that every packaged file is there.
#   cmake -DBUILD_DIR=... -DPREFIX=... [-DCONFIG=...] -DBINDIR=bin -DDATADIR=share
#         -DAPP_ID=... -DICON_SIZES=16,32,... -DVERSION_TEXT=1.03 -P check-install.cmake

foreach(var IN ITEMS BUILD_DIR PREFIX BINDIR DATADIR APP_ID ICON_SIZES VERSION_TEXT)
    if("${${var}}" STREQUAL "")
        message(FATAL_ERROR "check-install.cmake: ${var} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE "${PREFIX}")
set(config_args "")
if(NOT "${CONFIG}" STREQUAL "")
    set(config_args --config "${CONFIG}")
endif()
execute_process(
    COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" ${config_args}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
    "${BINDIR}/mirovane"
    "${DATADIR}/applications/${APP_ID}.desktop"
    "${DATADIR}/metainfo/${APP_ID}.metainfo.xml"
    "${DATADIR}/icons/hicolor/scalable/apps/${APP_ID}.svg"
    "${DATADIR}/man/man1/mirovane.1")
string(REPLACE "," ";" sizes "${ICON_SIZES}")
foreach(size IN LISTS sizes)
    list(APPEND expected "${DATADIR}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png")
endforeach()

set(missing "")
foreach(file IN LISTS expected)
    if(NOT EXISTS "${PREFIX}/${file}")
        list(APPEND missing "${file}")
    endif()
endforeach()
if(missing)
    list(JOIN missing "\n  " missing)
    message(FATAL_ERROR "not installed under ${PREFIX}:\n  ${missing}")
endif()

# The release that software centres show is the version the program states.
file(READ "${PREFIX}/${DATADIR}/metainfo/${APP_ID}.metainfo.xml" metainfo)
string(FIND "${metainfo}" "<release version=\"${VERSION_TEXT}\"" at)
if(at EQUAL -1)
    message(FATAL_ERROR "the metainfo has no release of version ${VERSION_TEXT}")
endif()
list(LENGTH expected count)
message(STATUS "${count} files installed as expected under ${PREFIX}")
