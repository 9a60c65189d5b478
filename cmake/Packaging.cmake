# How the program is packaged: its icon and version information on Windows, the icons as Qt
# resources, the desktop entry, AppStream metainfo, hicolor icons and manual page on Linux,
# installation, and the tests that check them; the Windows downloads in PackagingWindows.cmake.
# The Debian package is made from the source package in debian/, by dpkg-buildpackage
# (tools/package). Included from the top-level CMakeLists.txt after add_subdirectory(app) and
# include(CTest).

if(NOT TARGET mirovane)
    return()
endif()

set(MIROVANE_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/app/packaging")
set(MIROVANE_PACKAGING_BINARY_DIR "${PROJECT_BINARY_DIR}/packaging")
set(MIROVANE_ICON_SIZES 16 32 48 64 128 256)

# The version for the version resource, all four numbers: "1,2,0,0". The version as people read
# it ("1.03") is MIROVANE_VERSION_TEXT, set by the top-level CMakeLists.txt.
if(NOT DEFINED MIROVANE_VERSION_TEXT)
    message(FATAL_ERROR "Packaging.cmake needs MIROVANE_VERSION_TEXT")
endif()
set(MIROVANE_RC_VERSION "")
foreach(part IN ITEMS MAJOR MINOR PATCH TWEAK)
    if("${mirovane_VERSION_${part}}" STREQUAL "")
        list(APPEND MIROVANE_RC_VERSION 0)
    else()
        list(APPEND MIROVANE_RC_VERSION ${mirovane_VERSION_${part}})
    endif()
endforeach()
list(JOIN MIROVANE_RC_VERSION "," MIROVANE_RC_VERSION)

# Windows resources: the .rc refers to the icon by its bare name, so a copy sits beside it.
configure_file("${MIROVANE_PACKAGING_DIR}/mirovane.rc.in"
    "${MIROVANE_PACKAGING_BINARY_DIR}/mirovane.rc" @ONLY)
configure_file("${MIROVANE_PACKAGING_DIR}/mirovane.ico"
    "${MIROVANE_PACKAGING_BINARY_DIR}/mirovane.ico" COPYONLY)
if(WIN32)
    enable_language(RC)
    target_sources(mirovane PRIVATE "${MIROVANE_PACKAGING_BINARY_DIR}/mirovane.rc")
    set_source_files_properties("${MIROVANE_PACKAGING_BINARY_DIR}/mirovane.rc"
        TARGET_DIRECTORY mirovane
        PROPERTIES OBJECT_DEPENDS "${MIROVANE_PACKAGING_BINARY_DIR}/mirovane.ico")
endif()

# The window's icon, at :/icons/mirovane-N.png. In rcc's format 1, which records no file times:
# the later formats record each file's modification time, which in a fresh checkout is the time
# of the checkout, so two checkouts of one commit gave two programs.
set(mirovane_icon_files "")
foreach(size IN LISTS MIROVANE_ICON_SIZES)
    list(APPEND mirovane_icon_files "app/packaging/mirovane-${size}.png")
endforeach()
qt_add_resources(mirovane "icons" PREFIX "/icons" BASE app/packaging OPTIONS --format-version 1
    FILES ${mirovane_icon_files})
unset(mirovane_icon_files)

if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/PackagingWindows.cmake)
    return()
endif()

# Installation.
include(GNUInstallDirs)
install(TARGETS mirovane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(UNIX AND NOT APPLE)
    install(FILES "${MIROVANE_PACKAGING_DIR}/${MIROVANE_APP_ID}.desktop"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES "${MIROVANE_PACKAGING_DIR}/${MIROVANE_APP_ID}.metainfo.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size IN LISTS MIROVANE_ICON_SIZES)
        install(FILES "${MIROVANE_PACKAGING_DIR}/mirovane-${size}.png"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${MIROVANE_APP_ID}.png)
    endforeach()
    install(FILES "${MIROVANE_PACKAGING_DIR}/mirovane.svg"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${MIROVANE_APP_ID}.svg)
endif()

# The manual page, which names the version, as the changelog does: a release whose manual page or
# changelog names another is not configured. Debian's tools compress the page and install the
# changelog and the licence (debian/changelog, debian/copyright).
if(UNIX AND NOT APPLE)
    file(STRINGS "${PROJECT_SOURCE_DIR}/debian/changelog" mirovane_named LIMIT_COUNT 1)
    file(STRINGS "${MIROVANE_PACKAGING_DIR}/mirovane.1" mirovane_page REGEX "^\\.TH ")
    string(APPEND mirovane_named "\n${mirovane_page}")
    foreach(expected IN ITEMS "mirovane (${MIROVANE_VERSION_TEXT})"
            "\"mirovane ${MIROVANE_VERSION_TEXT}\"")
        string(FIND "${mirovane_named}" "${expected}" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "the changelog or the manual page does not name ${expected}")
        endif()
    endforeach()
    unset(mirovane_named)
    unset(mirovane_page)
    install(FILES "${MIROVANE_PACKAGING_DIR}/mirovane.1" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

if(NOT BUILD_TESTING)
    return()
endif()

# The build machine's Python, named by its path: CTest would run the Python3::Interpreter target,
# as any executable target, through CMAKE_CROSSCOMPILING_EMULATOR.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
    add_test(NAME packaging_icon
        COMMAND "${Python3_EXECUTABLE}" "${MIROVANE_PACKAGING_DIR}/check-icon.py"
            "${MIROVANE_PACKAGING_DIR}/mirovane.ico")
    add_test(NAME packaging_icons_current
        COMMAND "${Python3_EXECUTABLE}" "${MIROVANE_PACKAGING_DIR}/make-icons.py" --check
            "${MIROVANE_PACKAGING_DIR}")
endif()

# The version resource compiles. Without the MinGW C compiler, the host's preprocesses it.
find_program(MIROVANE_WINDRES x86_64-w64-mingw32-windres)
find_program(MIROVANE_MINGW_CC x86_64-w64-mingw32-gcc)
mark_as_advanced(MIROVANE_WINDRES MIROVANE_MINGW_CC)
if(MIROVANE_WINDRES)
    set(mirovane_windres_cpp "")
    if(NOT MIROVANE_MINGW_CC)
        set(mirovane_windres_cpp "--preprocessor=${CMAKE_CXX_COMPILER}"
            --preprocessor-arg=-E --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED)
    endif()
    add_test(NAME packaging_windres
        COMMAND "${MIROVANE_WINDRES}" ${mirovane_windres_cpp} -O coff
            -i "${MIROVANE_PACKAGING_BINARY_DIR}/mirovane.rc"
            -o "${MIROVANE_PACKAGING_BINARY_DIR}/mirovane-rc.o")
    unset(mirovane_windres_cpp)
endif()

find_program(MIROVANE_DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(MIROVANE_APPSTREAMCLI appstreamcli)
mark_as_advanced(MIROVANE_DESKTOP_FILE_VALIDATE MIROVANE_APPSTREAMCLI)
if(MIROVANE_DESKTOP_FILE_VALIDATE)
    add_test(NAME packaging_desktop_file
        COMMAND "${MIROVANE_DESKTOP_FILE_VALIDATE}"
            "${MIROVANE_PACKAGING_DIR}/${MIROVANE_APP_ID}.desktop")
    # It reports warnings but exits 0 for them.
    set_tests_properties(packaging_desktop_file
        PROPERTIES FAIL_REGULAR_EXPRESSION "error:|warning:")
endif()
if(MIROVANE_APPSTREAMCLI)
    # The metainfo follows AppStream 1.0. AppStream 0.16 (Debian 12) does not know 1.0's
    # <developer> yet and reports it as an unknown tag; there that one report is only a hint.
    # Debian 13's AppStream checks everything, unknown tags included.
    execute_process(COMMAND "${MIROVANE_APPSTREAMCLI}" --version
        OUTPUT_VARIABLE mirovane_appstream_version ERROR_QUIET)
    string(REGEX MATCH "[0-9]+\\.[0-9.]+" mirovane_appstream_version "${mirovane_appstream_version}")
    set(mirovane_appstream_overrides "")
    if(mirovane_appstream_version VERSION_LESS 1.0)
        set(mirovane_appstream_overrides --override=unknown-tag=pedantic)
    endif()
    add_test(NAME packaging_metainfo
        COMMAND "${MIROVANE_APPSTREAMCLI}" validate --no-net --strict ${mirovane_appstream_overrides}
            "${MIROVANE_PACKAGING_DIR}/${MIROVANE_APP_ID}.metainfo.xml")
    unset(mirovane_appstream_version)
    unset(mirovane_appstream_overrides)
endif()

if(UNIX AND NOT APPLE)
    string(REPLACE ";" "," mirovane_sizes "${MIROVANE_ICON_SIZES}")
    add_test(NAME packaging_install
        COMMAND "${CMAKE_COMMAND}"
            "-DBUILD_DIR=${PROJECT_BINARY_DIR}"
            "-DPREFIX=${MIROVANE_PACKAGING_BINARY_DIR}/install-test"
            "-DCONFIG=$<CONFIG>"
            "-DBINDIR=${CMAKE_INSTALL_BINDIR}"
            "-DDATADIR=${CMAKE_INSTALL_DATADIR}"
            "-DAPP_ID=${MIROVANE_APP_ID}"
            "-DICON_SIZES=${mirovane_sizes}"
            "-DVERSION_TEXT=${MIROVANE_VERSION_TEXT}"
            -P "${MIROVANE_PACKAGING_DIR}/check-install.cmake")
    unset(mirovane_sizes)
endif()
