# cmake -P: a program that no machine has, looked for as a test tool. Fails under CI=true and
# goes on with a note otherwise.
include(${CMAKE_CURRENT_LIST_DIR}/test-tools.cmake)
vanter_find_test_tool(VANTER_NO_SUCH_TOOL vanter-no-such-tool PACKAGE vanter-nothing
                      FOR "this check")
message(STATUS "configuring went on")
