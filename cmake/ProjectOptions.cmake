# Compiler settings shared by every target of the project, gathered in one interface target.
add_library(project_options INTERFACE)
add_library(mirovane::options ALIAS project_options)

target_compile_options(project_options INTERFACE
    -Wall -Wextra -Wpedantic
    # The conversions are specified one IEEE operation at a time: never fuse or reorder them.
    -ffp-contract=off -fno-fast-math)
if(MIROVANE_WARNINGS_AS_ERRORS)
    target_compile_options(project_options INTERFACE -Werror)
endif()
if(MIROVANE_SANITIZE)
    target_compile_options(project_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(project_options INTERFACE -fsanitize=address,undefined)
endif()
