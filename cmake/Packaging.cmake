# How the program is packaged: its icon and version information on Windows, the icons as Qt
# resources, the desktop entry, AppStream metainfo and hicolor icons on Linux, installation, the
# Debian package, and the tests that check them; the Windows downloads in PackagingWindows.cmake.
# Included from the top-level CMakeLists.txt after add_subdirectory(app) and include(CTest).

if(NOT TARGET mirovane)
    return()
endif()

set(MIROVANE_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/app/packaging")
set(MIROVANE_PACKAGING_BINARY_DIR "${PROJECT_BINARY_DIR}/packaging")
set(MIROVANE_ICON_SIZES 16 32 48 64 128 256)

# The version for the version resource, all four numbers: "1,1,0,0". The version as people read
# it ("1.01") is MIROVANE_VERSION_TEXT, set by the top-level CMakeLists.txt.
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

# The time the packages record for their files and members: SOURCE_DATE_EPOCH when the
# environment sets it at configuration, as Debian's package builds do; else the time of the last
# commit when the source folder is a git checkout; else the modification time of the top
# CMakeLists.txt, which in a tarball made by `git archive` (as forges make them) is the time of
# the commit as well. Never the time of the build: one commit, one package.
set(MIROVANE_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
set(mirovane_epoch_origin "SOURCE_DATE_EPOCH in the environment")
if(MIROVANE_SOURCE_DATE_EPOCH STREQUAL "" AND EXISTS "${PROJECT_SOURCE_DIR}/.git")
    find_package(Git QUIET)
    if(Git_FOUND)
        execute_process(
            COMMAND "${GIT_EXECUTABLE}" -C "${PROJECT_SOURCE_DIR}" log -1 --format=%ct
            OUTPUT_VARIABLE MIROVANE_SOURCE_DATE_EPOCH ERROR_VARIABLE git_error
            RESULT_VARIABLE git_result OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(git_result EQUAL 0)
            set(mirovane_epoch_origin "the last commit")
            # A new commit configures again, so that the package gets its time.
            execute_process(
                COMMAND "${GIT_EXECUTABLE}" -C "${PROJECT_SOURCE_DIR}" rev-parse
                    --git-path HEAD --git-path logs/HEAD
                OUTPUT_VARIABLE git_paths ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
            string(REPLACE "\n" ";" git_paths "${git_paths}")
            foreach(path IN LISTS git_paths)
                get_filename_component(path "${path}" ABSOLUTE BASE_DIR "${PROJECT_SOURCE_DIR}")
                if(EXISTS "${path}")
                    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
                endif()
            endforeach()
        else()
            set(MIROVANE_SOURCE_DATE_EPOCH "")
            string(STRIP "${git_error}" git_error)
            message(WARNING "git cannot tell the time of the last commit: ${git_error}")
        endif()
        unset(git_paths)
        unset(git_error)
        unset(git_result)
    else()
        message(WARNING "git is not installed: the package cannot be dated with the last commit")
    endif()
endif()
if(MIROVANE_SOURCE_DATE_EPOCH STREQUAL "")
    file(TIMESTAMP "${PROJECT_SOURCE_DIR}/CMakeLists.txt" MIROVANE_SOURCE_DATE_EPOCH "%s" UTC)
    set(mirovane_epoch_origin "the modification time of CMakeLists.txt")
endif()
if(NOT MIROVANE_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"${MIROVANE_SOURCE_DATE_EPOCH}\", not a number of "
        "seconds since 1970-01-01 00:00 UTC")
endif()
message(STATUS "The packages' time: ${MIROVANE_SOURCE_DATE_EPOCH}, from ${mirovane_epoch_origin}")
unset(mirovane_epoch_origin)

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

# The licence, the changelog and the manual page; the last two compressed as Debian packages
# carry them (gzip -9n: no file name or time stamp inside). Both name the version, written by
# hand: a release whose changelog or manual page names another is not configured.
if(UNIX AND NOT APPLE)
    file(STRINGS "${MIROVANE_PACKAGING_DIR}/changelog" mirovane_named LIMIT_COUNT 1)
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
    find_program(MIROVANE_GZIP gzip REQUIRED)
    mark_as_advanced(MIROVANE_GZIP)
    set(mirovane_compressed "")
    foreach(name IN ITEMS changelog mirovane.1)
        set(compressed "${MIROVANE_PACKAGING_BINARY_DIR}/${name}.gz")
        add_custom_command(OUTPUT "${compressed}"
            COMMAND sh -c "\"$0\" -9nc \"$1\" > \"$2\"" "${MIROVANE_GZIP}"
                "${MIROVANE_PACKAGING_DIR}/${name}" "${compressed}"
            DEPENDS "${MIROVANE_PACKAGING_DIR}/${name}" VERBATIM)
        list(APPEND mirovane_compressed "${compressed}")
    endforeach()
    add_custom_target(mirovane_documentation ALL DEPENDS ${mirovane_compressed})
    install(FILES "${MIROVANE_PACKAGING_DIR}/copyright"
        "${MIROVANE_PACKAGING_BINARY_DIR}/changelog.gz"
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES "${MIROVANE_PACKAGING_BINARY_DIR}/mirovane.1.gz"
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    unset(mirovane_compressed)
endif()

# The Debian package: cpack -G DEB, or the "package" target. Its version is the one people read.
find_program(MIROVANE_DPKG_SHLIBDEPS dpkg-shlibdeps)
mark_as_advanced(MIROVANE_DPKG_SHLIBDEPS)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mirovane)
set(CPACK_PACKAGE_VERSION ${MIROVANE_VERSION_TEXT})
set(CPACK_PACKAGE_VENDOR "The Mirovane developers")
set(CPACK_PACKAGE_CONTACT "The Mirovane developers <developers@mirovane.net>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "temperature converter between Celsius and Fahrenheit")
set(CPACK_PACKAGE_DESCRIPTION [[
A small desktop temperature converter. Type a number and the window shows it
read as degrees Celsius converted to Fahrenheit, and read as degrees
Fahrenheit converted to Celsius, each with two decimals, as you type.]])
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://mirovane.net/")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Cross-built, the package is for the target's architecture, not for the build machine's (which
# CPack asks dpkg for).
if(CMAKE_CROSSCOMPILING)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
        set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
    else()
        message(FATAL_ERROR "No Debian architecture known for ${CMAKE_SYSTEM_PROCESSOR}")
    endif()
endif()
# The libraries' packages as dpkg-shlibdeps reads them off the program, and a face with Arial's
# metrics: the window's captions and boxes are designed in Arial.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2 | fonts-liberation")
if(MIROVANE_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
set(CPACK_STRIP_FILES ON)
# The same package, byte for byte, from the same commit, wherever, whenever and by whomever it is
# built. CPack dates every file and member with SOURCE_DATE_EPOCH when cpack's environment sets it:
# reproducible-staging.cmake sets it to the time above unless it is set already, and gives the
# installed folders their modes whatever the umask; reproducible-deb.cmake takes out what CPack
# records of the machine in the package it makes: the umask again and the filesystem.
set(CPACK_MIROVANE_SOURCE_DATE_EPOCH "${MIROVANE_SOURCE_DATE_EPOCH}")
set(CPACK_PRE_BUILD_SCRIPTS "${MIROVANE_PACKAGING_DIR}/reproducible-staging.cmake")
set(CPACK_POST_BUILD_SCRIPTS "${MIROVANE_PACKAGING_DIR}/reproducible-deb.cmake")
include(CPack)

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

find_program(MIROVANE_DPKG_DEB dpkg-deb)
find_program(MIROVANE_LINTIAN lintian)
mark_as_advanced(MIROVANE_DPKG_DEB MIROVANE_LINTIAN)
if(MIROVANE_DPKG_DEB)
    add_test(NAME packaging_deb
        COMMAND "${CMAKE_COMMAND}"
            "-DCPACK=${CMAKE_CPACK_COMMAND}"
            "-DCONFIG_FILE=${PROJECT_BINARY_DIR}/CPackConfig.cmake"
            "-DOUTPUT_DIR=${MIROVANE_PACKAGING_BINARY_DIR}/deb-test"
            "-DCONFIG=$<CONFIG>"
            "-DDPKG_DEB=${MIROVANE_DPKG_DEB}"
            "-DLINTIAN=${MIROVANE_LINTIAN}"
            "-DAPP_ID=${MIROVANE_APP_ID}"
            "-DVERSION_TEXT=${MIROVANE_VERSION_TEXT}"
            -P "${MIROVANE_PACKAGING_DIR}/check-deb.cmake")
    # tests/ installs the package it leaves and starts the program from it.
    set_tests_properties(packaging_deb PROPERTIES FIXTURES_SETUP mirovane_deb)

    # Two builds of the package from two copies of the tree, in other folders on other
    # filesystems, with other file times, at other times, under another umask and time zone, give
    # the same package, byte for byte. It builds the package twice, a minute or two, so not again
    # in the sanitizers' build, where it would test the same thing. CI checks it once a run.
    option(MIROVANE_CHECK_REPRODUCIBLE "Build the package twice more to compare the two" ON)
    find_package(Git QUIET)
    if(Git_FOUND AND EXISTS "${PROJECT_SOURCE_DIR}/.git" AND NOT MIROVANE_SANITIZE
       AND MIROVANE_CHECK_REPRODUCIBLE)
        get_filename_component(mirovane_cmake_dir "${CMAKE_COMMAND}" DIRECTORY)
        # Built with the preset that packagers build this architecture's package with.
        set(MIROVANE_PACKAGE_PRESET default CACHE STRING
            "The configure preset that packaging_reproducible builds the package with")
        mark_as_advanced(MIROVANE_PACKAGE_PRESET)
        add_test(NAME packaging_reproducible
            COMMAND "${MIROVANE_PACKAGING_DIR}/check-reproducible.sh" "${PROJECT_SOURCE_DIR}"
                "${MIROVANE_PACKAGING_BINARY_DIR}/reproducible" "${mirovane_cmake_dir}"
                "${MIROVANE_PACKAGE_PRESET}")
        set_tests_properties(packaging_reproducible PROPERTIES TIMEOUT 1200)
        unset(mirovane_cmake_dir)
    endif()
endif()
