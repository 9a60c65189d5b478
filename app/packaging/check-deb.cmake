# Builds the Debian package from the build tree and checks its control fields and its contents,
# and, given lintian, that lintian finds neither an error nor a warning in it.
#   cmake -DCPACK=... -DCONFIG_FILE=.../CPackConfig.cmake -DOUTPUT_DIR=... [-DCONFIG=...]
#         -DDPKG_DEB=... [-DLINTIAN=...] -DAPP_ID=... -DVERSION_TEXT=1.01 -P check-deb.cmake

foreach(var IN ITEMS CPACK CONFIG_FILE OUTPUT_DIR DPKG_DEB APP_ID VERSION_TEXT)
    if("${${var}}" STREQUAL "")
        message(FATAL_ERROR "check-deb.cmake: ${var} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE "${OUTPUT_DIR}")
set(config_args "")
if(NOT "${CONFIG}" STREQUAL "")
    set(config_args -C "${CONFIG}")
endif()
execute_process(
    COMMAND "${CPACK}" -G DEB --config "${CONFIG_FILE}" -B "${OUTPUT_DIR}" ${config_args}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cpack failed: ${result}")
endif()
file(GLOB packages "${OUTPUT_DIR}/*.deb")
list(LENGTH packages count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one .deb in ${OUTPUT_DIR}, found ${count}")
endif()

execute_process(COMMAND "${DPKG_DEB}" --field "${packages}" Package Section Version Depends
    OUTPUT_VARIABLE fields RESULT_VARIABLE result)
execute_process(COMMAND "${DPKG_DEB}" --contents "${packages}"
    OUTPUT_VARIABLE contents RESULT_VARIABLE result2)
if(NOT result EQUAL 0 OR NOT result2 EQUAL 0)
    message(FATAL_ERROR "dpkg-deb cannot read ${packages}")
endif()
message(STATUS "${packages}:\n${fields}")

foreach(expected IN ITEMS "Package: mirovane" "Section: utils" "Version: ${VERSION_TEXT}" "Depends: "
        "fonts-liberation2 | fonts-liberation, " "libc6")
    string(FIND "${fields}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the package lacks \"${expected}\"")
    endif()
endforeach()
foreach(expected IN ITEMS
        "./usr/bin/mirovane"
        "./usr/share/applications/${APP_ID}.desktop"
        "./usr/share/metainfo/${APP_ID}.metainfo.xml"
        "./usr/share/doc/mirovane/copyright"
        "./usr/share/doc/mirovane/changelog.gz"
        "./usr/share/man/man1/mirovane.1.gz"
        "./usr/share/icons/hicolor/256x256/apps/${APP_ID}.png")
    string(FIND "${contents}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the package does not hold ${expected}")
    endif()
endforeach()

if(NOT "${LINTIAN}" STREQUAL "" AND NOT LINTIAN MATCHES "NOTFOUND$")
    execute_process(COMMAND "${LINTIAN}" --fail-on error,warning --display-info "${packages}"
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "lintian reports errors or warnings (status ${result})")
    endif()
endif()
