# The Windows downloads: the program in a folder of its own with the Qt libraries and plugins and
# the MinGW runtime that it loads (the layout Qt's windeployqt makes), as a portable zip and as an
# NSIS installer. Included from Packaging.cmake when building for Windows.
#   cmake --build <build> --target windows_downloads     leaves both in <build>/dist

install(TARGETS mirovane RUNTIME DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    DESTINATION .)
# A shared Qt does not import its plugins' targets unless asked.
find_package(Qt6QWindowsIntegrationPlugin REQUIRED CONFIG
    PATHS "${Qt6Gui_DIR}" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_package(Qt6QModernWindowsStylePlugin REQUIRED CONFIG
    PATHS "${Qt6Widgets_DIR}" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QModernWindowsStylePlugin> DESTINATION styles)
# The compiler's own runtime, from wherever the compiler keeps it (the folders are
# MIROVANE_MINGW_RUNTIME_DIRS).
set(MIROVANE_MINGW_RUNTIME_DIRS "")
set(mirovane_runtime_arguments "")
foreach(library IN ITEMS libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=${library}
        OUTPUT_VARIABLE library_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${library_path}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${library} is")
    endif()
    install(FILES "${library_path}" DESTINATION .)
    list(APPEND mirovane_runtime_arguments --runtime "${library_path}")
    get_filename_component(library_dir "${library_path}" DIRECTORY)
    list(APPEND MIROVANE_MINGW_RUNTIME_DIRS "${library_dir}")
endforeach()
list(REMOVE_DUPLICATES MIROVANE_MINGW_RUNTIME_DIRS)

# The time the downloads record for their files: SOURCE_DATE_EPOCH when the environment sets it at
# configuration; else the time of the last commit when the source folder is a git checkout; else
# the modification time of the top CMakeLists.txt, which in a tarball made by `git archive` (as
# forges make them) is the time of the commit as well. Never the time of the build: one commit,
# one zip and one installer.
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
            # A new commit configures again, so that the downloads get its time.
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
        message(WARNING "git is not installed: the downloads cannot be dated with the last commit")
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
message(STATUS "The downloads' time: ${MIROVANE_SOURCE_DATE_EPOCH}, from ${mirovane_epoch_origin}")
unset(mirovane_epoch_origin)

# Qt's folder, where tools/build-qt-windows keeps what passing Qt on needs (mirovane/).
get_filename_component(mirovane_qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)

# With Python and NSIS (Debian's python3 and nsis), the downloads can be made.
find_package(Python3 COMPONENTS Interpreter)
find_program(MIROVANE_MAKENSIS makensis)
mark_as_advanced(MIROVANE_MAKENSIS)
set(MIROVANE_WINDOWS_NAME mirovane-${MIROVANE_VERSION_TEXT}-windows-x64)
set(MIROVANE_WINDOWS_DIST "${PROJECT_BINARY_DIR}/dist")
if(MIROVANE_MAKENSIS AND Python3_Interpreter_FOUND)
    string(REPLACE "," "." mirovane_version_numbers "${MIROVANE_RC_VERSION}")
    add_custom_target(windows_downloads
        COMMAND "${Python3_EXECUTABLE}" "${MIROVANE_PACKAGING_DIR}/windows/make-downloads.py"
            --build-dir "${PROJECT_BINARY_DIR}" --source-date-epoch ${MIROVANE_SOURCE_DATE_EPOCH}
            --output-dir "${MIROVANE_WINDOWS_DIST}" --name ${MIROVANE_WINDOWS_NAME}
            --version-text ${MIROVANE_VERSION_TEXT} --version-numbers ${mirovane_version_numbers}
            --icon "${MIROVANE_PACKAGING_DIR}/mirovane.ico"
            --strip "${CMAKE_STRIP}" --makensis "${MIROVANE_MAKENSIS}"
            --objdump "${CMAKE_OBJDUMP}" --qt-prefix "${mirovane_qt_prefix}"
            --project "${PROJECT_SOURCE_DIR}" ${mirovane_runtime_arguments}
        DEPENDS mirovane
        COMMENT "Making ${MIROVANE_WINDOWS_NAME}.zip, -setup.exe, their bills of materials and "
            "their Qt's source"
        VERBATIM)
    unset(mirovane_version_numbers)
endif()
