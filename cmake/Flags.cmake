# Compiler flags of the project's own code, as two interface targets that every target of the
# project links (vanter_link_flags at the end of the top CMakeLists.txt), rather than flags for
# the whole tree: code of others built here (GoogleTest from source) keeps its own.
#   vanter_warnings  -Wall -Wextra -Wpedantic, and -Werror with VANTER_WERROR
#   vanter_sanitize  AddressSanitizer and UndefinedBehaviorSanitizer with VANTER_SANITIZE,
#                    libFuzzer's coverage with VANTER_FUZZ; empty otherwise

add_library(vanter_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(vanter_warnings INTERFACE -Wall -Wextra -Wpedantic
                                                     $<$<BOOL:${VANTER_WERROR}>:-Werror>)
elseif(MSVC)
    target_compile_options(vanter_warnings INTERFACE /W4 /utf-8)
endif()

add_library(vanter_sanitize INTERFACE)
if(VANTER_SANITIZE)
    target_compile_options(vanter_sanitize INTERFACE -fsanitize=address,undefined
                                                     -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(vanter_sanitize INTERFACE -fsanitize=address,undefined)
endif()
if(VANTER_FUZZ)
    # Coverage for libFuzzer in all the code a fuzz program runs; the fuzz programs themselves
    # add libFuzzer's main (fuzz/CMakeLists.txt).
    target_compile_options(vanter_sanitize INTERFACE -fsanitize=fuzzer-no-link)
endif()

# Links both into every library and program defined in the project's source tree: a target
# added anywhere gets them without saying so, and nothing from outside the tree does.
function(vanter_link_flags)
    vanter_project_targets(targets)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
            target_link_libraries(${target} PRIVATE vanter_warnings vanter_sanitize)
        endif()
    endforeach()
endfunction()
