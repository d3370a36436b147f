# The test `layering`: the sources include along the layers (cmake/check_layering.cmake). It
# reads the sources and the include folders the targets name, and needs no build.

# Every include folder that a target of the project names (the script keeps those inside the
# source tree).
function(vanter_include_roots out)
    set(roots "")
    vanter_project_targets(targets)
    foreach(target IN LISTS targets)
        foreach(property IN ITEMS INCLUDE_DIRECTORIES INTERFACE_INCLUDE_DIRECTORIES)
            get_target_property(named ${target} ${property})
            if(named)
                list(APPEND roots ${named})
            endif()
        endforeach()
    endforeach()
    list(FILTER roots EXCLUDE REGEX "\\$<") # none of ours is a generator expression
    list(REMOVE_DUPLICATES roots)
    set(${out} "${roots}" PARENT_SCOPE)
endfunction()

vanter_include_roots(vanter_roots)
add_test(NAME layering
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} "-DINCLUDE_ROOTS=${vanter_roots}"
            -P ${PROJECT_SOURCE_DIR}/cmake/check_layering.cmake)
set_tests_properties(layering PROPERTIES TIMEOUT 30)
