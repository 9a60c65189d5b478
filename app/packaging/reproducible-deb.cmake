# Run by cpack once it has made the Debian package, before it copies it out
# (CPACK_POST_BUILD_SCRIPTS). Takes out of the package what CPack records of the machine that made
# it, so that one commit gives one package, byte for byte, wherever it is built:
# - the umask: CPack gives each member of the ar archive (debian-binary, control.tar.gz,
#   data.tar.gz) the mode of the file it wrote, 0664 under a umask of 002, 0600 under 077;
# - the filesystem: CPack's Installed-Size adds up the sizes of the package's files and folders as
#   the filesystem reports them, and a folder takes 4096 bytes on ext4, less on tmpfs, another
#   size on btrfs (264 KiB on ext4, 166 on tmpfs).
# So Installed-Size is counted again with 4096 bytes for each folder, as CPack counts on ext4 (where
# the field stays as it was), control.tar.gz is written again around the corrected control file,
# and the ar archive is written again as CPack lays it out, each member 0644, owned by root and
# dated SOURCE_DATE_EPOCH. data.tar.* stays as CPack made it: its times are SOURCE_DATE_EPOCH,
# its owners root, its files' modes the installation's and its folders' 0755
# (reproducible-staging.cmake).
# Needs GNU tar and gzip, which every Debian system has.

set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR
        "reproducible-deb.cmake: SOURCE_DATE_EPOCH is not set (reproducible-staging.cmake sets it)")
endif()

# VALUE left-aligned in a field of WIDTH characters, as ar's headers hold it.
function(ar_field out value width)
    string(LENGTH "${value}" length)
    if(length GREATER width)
        message(FATAL_ERROR "reproducible-deb.cmake: \"${value}\" does not fit an ar header")
    endif()
    math(EXPR blanks "${width} - ${length}")
    string(REPEAT " " ${blanks} padding)
    set(${out} "${value}${padding}" PARENT_SCOPE)
endfunction()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "\\.deb$")
        continue()
    endif()
    # The folder where CPack installed the package's files and wrote its members: one package,
    # without components.
    set(work "${CPACK_TEMPORARY_DIRECTORY}")
    file(GLOB data RELATIVE "${work}" "${work}/data.tar*")
    list(LENGTH data count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "reproducible-deb.cmake: expected one data.tar in ${work}, found ${count}")
    endif()
    foreach(member IN ITEMS debian-binary control md5sums control.tar.gz)
        if(NOT EXISTS "${work}/${member}")
            message(FATAL_ERROR "reproducible-deb.cmake: CPack wrote no ${member} in ${work}")
        endif()
    endforeach()
    # GNU tar and gzip as their environment variables would not change them.
    set(tools "${CMAKE_COMMAND}" -E env --unset=TAR_OPTIONS --unset=GZIP)
    # control.tar.gz is written again from control and md5sums: it must hold nothing else.
    execute_process(COMMAND ${tools} tar --list --gzip --file "${work}/control.tar.gz"
        OUTPUT_VARIABLE listed COMMAND_ERROR_IS_FATAL ANY)
    if(NOT listed STREQUAL "./md5sums\n./control\n")
        message(FATAL_ERROR "reproducible-deb.cmake: control.tar.gz holds more than md5sums and "
            "control:\n${listed}")
    endif()

    # Installed-Size, in KiB: the files' sizes and 4096 bytes for each folder.
    set(size 0)
    file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${work}" "${work}/*")
    foreach(entry IN LISTS entries)
        if(entry MATCHES "^(debian-binary|control|md5sums|control\\.tar\\.gz|data\\.tar.*)$")
            continue()
        endif()
        if(IS_DIRECTORY "${work}/${entry}")
            math(EXPR size "${size} + 4096")
        else()
            file(SIZE "${work}/${entry}" entry_size)
            math(EXPR size "${size} + ${entry_size}")
        endif()
    endforeach()
    math(EXPR kib "(${size} + 1023) / 1024")
    file(READ "${work}/control" control)
    if(NOT control MATCHES "\nInstalled-Size: [0-9]+\n")
        message(FATAL_ERROR "reproducible-deb.cmake: the control file has no Installed-Size")
    endif()
    string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n" "\nInstalled-Size: ${kib}\n"
        control "${control}")
    file(WRITE "${work}/control" "${control}")

    execute_process(
        COMMAND ${tools} tar --create --format=gnu --owner=root:0 --group=root:0 --mode=0644
            --mtime=@${epoch} --directory "${work}" ./md5sums ./control
        COMMAND ${tools} gzip -9 --no-name
        OUTPUT_FILE "${work}/control.tar.gz"
        COMMAND_ERROR_IS_FATAL ANY)

    # The ar archive: its signature, then for each member a header, the member and, after a member
    # of odd size, a line feed.
    set(parts_dir "${package}.parts")
    file(REMOVE_RECURSE "${parts_dir}")
    file(WRITE "${parts_dir}/signature" "!<arch>\n")
    file(WRITE "${parts_dir}/padding" "\n")
    set(parts "${parts_dir}/signature")
    foreach(member IN ITEMS debian-binary control.tar.gz ${data})
        file(SIZE "${work}/${member}" member_size)
        ar_field(name "${member}" 16)
        ar_field(date "${epoch}" 12)
        ar_field(owner 0 6)
        ar_field(mode 100644 8)
        ar_field(length "${member_size}" 10)
        file(WRITE "${parts_dir}/${member}.header"
            "${name}${date}${owner}${owner}${mode}${length}`\n")
        list(APPEND parts "${parts_dir}/${member}.header" "${work}/${member}")
        math(EXPR odd "${member_size} % 2")
        if(odd)
            list(APPEND parts "${parts_dir}/padding")
        endif()
    endforeach()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E cat ${parts}
        OUTPUT_FILE "${package}.new" COMMAND_ERROR_IS_FATAL ANY)
    file(RENAME "${package}.new" "${package}")
    file(REMOVE_RECURSE "${parts_dir}")
endforeach()
