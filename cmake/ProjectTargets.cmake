# The targets defined in the project's own folders (not in code of others added as a
# subdirectory, such as GoogleTest from source): for what every target of ours gets or is
# checked for.
function(vanter_project_targets out)
    set(found "")
    set(folders ${PROJECT_SOURCE_DIR})
    while(folders)
        list(POP_FRONT folders folder)
        cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${folder}" inside)
        if(NOT inside)
            continue()
        endif()
        get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
        list(APPEND folders ${subfolders})
        get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
        list(APPEND found ${targets})
    endwhile()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()
