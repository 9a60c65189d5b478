# Compiler settings shared by every target of the project, gathered in one interface target.
add_library(project_options INTERFACE)
add_library(mirovane::options ALIAS project_options)

target_compile_options(project_options INTERFACE
    -Wall -Wextra -Wpedantic
    # The conversions are specified one IEEE operation at a time: never fuse or reorder them.
    -ffp-contract=off -fno-fast-math)
# Qt API deprecated in any release up to the newest one we build with does not compile, so a use
# of it is caught on every Qt, not only on the first one that marks it (Qt 6.4 reads the older
# name of the setting).
target_compile_definitions(project_options INTERFACE
    QT_DISABLE_DEPRECATED_UP_TO=0x060800 QT_DISABLE_DEPRECATED_BEFORE=0x060800)
if(MIROVANE_WARNINGS_AS_ERRORS)
    target_compile_options(project_options INTERFACE -Werror)
endif()
if(MIROVANE_SANITIZE)
    target_compile_options(project_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(project_options INTERFACE -fsanitize=address,undefined)
endif()
