# Compiler settings shared by every target of the project, gathered in one interface target.
add_library(project_options INTERFACE)
add_library(mirovane::options ALIAS project_options)

target_compile_options(project_options INTERFACE
    -Wall -Wextra -Wpedantic
    # The conversions are specified one IEEE operation at a time: never fuse or reorder them.
    -ffp-contract=off -fno-fast-math)
# Qt API deprecated in any release up to the newest one we build with (6.11, Debian testing's)
# does not compile, so a use of it is caught on every Qt, not only on the first one that marks it
# (Qt 6.4 reads the older name of the setting).
target_compile_definitions(project_options INTERFACE
    QT_DISABLE_DEPRECATED_UP_TO=0x060B00 QT_DISABLE_DEPRECATED_BEFORE=0x060B00)
# What the compiler writes down of the source and build folders' paths (the debug information,
# which the build ID covers, and __FILE__) is written relative to them, so that the program and
# its package are the same wherever the tree is built. Debuggers find the sources from the source
# folder (gdb started there, or `directory` naming it). Debug builds, which nothing packages, keep
# the absolute paths for debuggers and IDEs started anywhere. The build folder's map comes last:
# GCC applies the last one that matches, and the build folder usually lies in the source folder.
set(mirovane_prefix_maps "")
foreach(dir IN ITEMS "${PROJECT_SOURCE_DIR}" "${PROJECT_BINARY_DIR}")
    file(REAL_PATH "${dir}" real_dir)
    list(APPEND mirovane_prefix_maps "-ffile-prefix-map=${dir}=.")
    if(NOT real_dir STREQUAL dir)
        list(APPEND mirovane_prefix_maps "-ffile-prefix-map=${real_dir}=.")
    endif()
endforeach()
target_compile_options(project_options INTERFACE
    "$<$<NOT:$<CONFIG:Debug>>:${mirovane_prefix_maps}>")
unset(mirovane_prefix_maps)
unset(real_dir)
# On Windows, where no distribution's build flags reach the program, the hardening of Debian's
# builds that MinGW-w64 supports: the strong stack protector, and _FORTIFY_SOURCE=2's checked
# copies where the compiler knows a buffer's size (it needs the optimiser, so not in Debug
# builds). Both are compiler options only: linked without them, the checks' failure handlers come
# from MinGW-w64's own runtime, linked in statically, as Qt for Windows has them (with the option
# at link time, GCC would make the program load its libssp-0.dll as well).
if(MINGW)
    target_compile_options(project_options INTERFACE -fstack-protector-strong)
    target_compile_definitions(project_options INTERFACE
        "$<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>")
endif()
if(MIROVANE_WARNINGS_AS_ERRORS)
    target_compile_options(project_options INTERFACE -Werror)
endif()
if(MIROVANE_SANITIZE)
    target_compile_options(project_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(project_options INTERFACE -fsanitize=address,undefined)
endif()
