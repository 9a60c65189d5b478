# Run by cpack once it has installed the package's files into its staging folder, before it makes
# the package of them (CPACK_PRE_BUILD_SCRIPTS). Two things the package would otherwise take from
# the machine and the moment:
# - the time: CPack dates every file and member of the package with SOURCE_DATE_EPOCH when its
#   environment sets it. Unless cpack's environment sets it already, it is the time that the
#   configuration found (the time of the last commit, see cmake/Packaging.cmake), so that a plain
#   `cpack -G DEB` gives the same package whenever it runs;
# - the umask: the installation creates folders with the modes the umask leaves (0750 under 027),
#   and the package records them. They are 0755, as in every Debian package. The files' modes are
#   the installation's own.

if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
    if(NOT CPACK_MIROVANE_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
        message(FATAL_ERROR
            "reproducible-staging.cmake: CPACK_MIROVANE_SOURCE_DATE_EPOCH is not set")
    endif()
    set(ENV{SOURCE_DATE_EPOCH} "${CPACK_MIROVANE_SOURCE_DATE_EPOCH}")
endif()

file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
set(staged_folders "")
foreach(entry IN LISTS entries)
    if(IS_DIRECTORY "${entry}" AND NOT IS_SYMLINK "${entry}")
        list(APPEND staged_folders "${entry}")
    endif()
endforeach()
if(staged_folders)
    file(CHMOD ${staged_folders} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
        GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
