# Fails when a source file includes against the layering (cmake -P, no build needed):
#   text/, parts/     nothing of the project outside themselves; every layer may include them
#   fs/               the file layer: nothing of the project outside itself, text/ and parts/
#   config/           itself, fs/ and the bottom folders
#   emulator/         itself, config/ and fs/
#   emulator/images/  nothing of the project outside itself and the bottom folders
#   app/common/       itself, config/ and fs/
#   app/panels/, app/filecmds/  themselves, app/common/, config/ and fs/: never the window
#   app/              anything but cli/
#   cli/              anything but app/
#   testing/          anything but app/ and cli/: fakes of theirs sit beside them
# so nothing below includes app/ or cli/. Test files (tst_*, *_test.cpp, *test_support.h) may
# also use the shared test support in testing/; nothing else may. A module's tests include only
# what the module may: they never drive the window.
#
# An include is resolved as the compiler does: a quoted one against the including file's folder
# first, then (as an angled one) against the project's include roots. Names that resolve
# nowhere in the source tree (the standard library, Qt, generated files) are left alone; a name
# that two roots both hold is reported, since which one wins depends on the target.
#
#   cmake -DSOURCE_DIR=<top> "-DINCLUDE_ROOTS=<dir;dir...>" -P check_layering.cmake

cmake_minimum_required(VERSION 3.25)

# Known violations, "including file -> included file", relative to the top folder. Temporary:
# each goes with the change that removes it, and an entry that no longer occurs is pointed out.
set(known_violations
)

if(NOT SOURCE_DIR OR NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "SOURCE_DIR must name the project's top folder")
endif()
cmake_path(SET top NORMALIZE "${SOURCE_DIR}/")

# The layer of a path relative to the top folder: the most specific layered folder, else "".
function(layer_of relative out)
    foreach(layer IN ITEMS emulator/images emulator config app/common app/panels app/filecmds app
                           cli testing text parts fs)
        if(relative MATCHES "^${layer}/")
            set(${out} ${layer} PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${out} "" PARENT_SCOPE)
endfunction()

# What a layer may include besides itself and the bottom folders (a regular expression), or
# must not include (forbidden_*); a layer named in neither may include anything.
set(allowed_config "fs")
set(allowed_emulator "emulator/images|config|fs")
set(allowed_emulator/images "")
set(allowed_fs "")
set(allowed_text "")
set(allowed_parts "")
set(allowed_app/common "config|fs")
set(allowed_app/panels "app/common|config|fs")
set(allowed_app/filecmds "app/common|config|fs")
set(forbidden_app "cli")
set(forbidden_cli "app|app/.*")
set(forbidden_testing "app|app/.*|cli")

# Whether a file of `from` may include one of `to`.
function(allowed from to is_test out)
    set(ok FALSE)
    if(to STREQUAL "" OR to STREQUAL from OR to MATCHES "^(text|parts)$")
        set(ok TRUE)
    elseif(to STREQUAL "testing")
        set(ok ${is_test})
    elseif(DEFINED allowed_${from})
        if(NOT allowed_${from} STREQUAL "" AND to MATCHES "^(${allowed_${from}})$")
            set(ok TRUE)
        endif()
    elseif(DEFINED forbidden_${from})
        if(NOT to MATCHES "^(${forbidden_${from}})$")
            set(ok TRUE)
        endif()
    else()
        set(ok TRUE)
    endif()
    set(${out} ${ok} PARENT_SCOPE)
endfunction()

# The file `name` denotes under `dir`, if it is a file inside the source tree.
function(existing dir name out)
    cmake_path(APPEND dir "${name}" OUTPUT_VARIABLE candidate)
    cmake_path(NORMAL_PATH candidate)
    set(found "")
    if(EXISTS "${candidate}" AND NOT IS_DIRECTORY "${candidate}")
        cmake_path(IS_PREFIX top "${candidate}" inside)
        if(inside)
            set(found "${candidate}")
        endif()
    endif()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

set(roots "")
foreach(root IN LISTS INCLUDE_ROOTS)
    cmake_path(SET root NORMALIZE "${root}/")
    cmake_path(IS_PREFIX top "${root}" inside)
    if(inside)
        list(APPEND roots "${root}")
    endif()
endforeach()
list(REMOVE_DUPLICATES roots)

file(GLOB_RECURSE sources LIST_DIRECTORIES FALSE
    "${top}config/*" "${top}emulator/*" "${top}app/*" "${top}cli/*" "${top}testing/*"
    "${top}text/*" "${top}parts/*" "${top}fs/*")
list(FILTER sources INCLUDE REGEX "\\.(h|hpp|c|cc|cpp|inl)$")

set(problems "")
set(seen_exceptions "")
foreach(source IN LISTS sources)
    cmake_path(RELATIVE_PATH source BASE_DIRECTORY "${top}" OUTPUT_VARIABLE relative)
    cmake_path(GET source PARENT_PATH folder)
    cmake_path(GET source FILENAME base)
    set(is_test FALSE)
    if(base MATCHES "^tst_|_test\\.cpp$|test_support\\.h$")
        set(is_test TRUE)
    endif()
    layer_of("${relative}" from)

    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
            continue()
        endif()
        set(name "${CMAKE_MATCH_2}")
        set(target "")
        if(CMAKE_MATCH_1 STREQUAL "\"")
            existing("${folder}" "${name}" target)
        endif()
        if(target STREQUAL "")
            set(matches "")
            foreach(root IN LISTS roots)
                existing("${root}" "${name}" candidate)
                if(NOT candidate STREQUAL "")
                    list(APPEND matches "${candidate}")
                endif()
            endforeach()
            list(REMOVE_DUPLICATES matches)
            list(LENGTH matches count)
            if(count GREATER 1)
                list(APPEND problems "${relative}: \"${name}\" is ambiguous: ${matches}")
                continue()
            endif()
            set(target "${matches}")
        endif()
        if(target STREQUAL "")
            continue()
        endif()
        cmake_path(RELATIVE_PATH target BASE_DIRECTORY "${top}" OUTPUT_VARIABLE included)
        layer_of("${included}" to)
        allowed("${from}" "${to}" ${is_test} ok)
        if(ok)
            continue()
        endif()
        set(pair "${relative} -> ${included}")
        if(pair IN_LIST known_violations)
            list(APPEND seen_exceptions "${pair}")
        else()
            list(APPEND problems "${pair}: ${from}/ must not include ${to}/")
        endif()
    endforeach()
endforeach()

foreach(pair IN LISTS known_violations)
    if(NOT pair IN_LIST seen_exceptions)
        message(NOTICE "no longer needed, remove it from known_violations: ${pair}")
    endif()
endforeach()
list(LENGTH sources checked)
if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Includes against the layering:\n  ${text}")
endif()
message(STATUS "layering: ${checked} files checked")
