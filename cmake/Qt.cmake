# The Qt the window program builds against: Qt 6 by default, Qt 5.15 with -DVANTER_QT_MAJOR=5
# (the last Qt that runs as a 32-bit Windows program, next to the maker's 32-bit driver library).
# This is the one place that names a Qt major version: everything else links the versionless
# targets Qt::Widgets and Qt::Test, which both provide.
set(VANTER_QT_MAJOR 6 CACHE STRING "Qt major version of the window program: 6 or 5")
set_property(CACHE VANTER_QT_MAJOR PROPERTY STRINGS 6 5)
if(VANTER_QT_MAJOR STREQUAL "6")
    set(vanter_qt_minimum 6.2)
elseif(VANTER_QT_MAJOR STREQUAL "5")
    set(vanter_qt_minimum 5.15)
else()
    message(FATAL_ERROR "VANTER_QT_MAJOR is 6 or 5, not '${VANTER_QT_MAJOR}'")
endif()

set(vanter_qt_components Widgets)
if(VANTER_BUILD_TESTS)
    list(APPEND vanter_qt_components Test)
endif()
# A cross-build looks for packages only under the target's root folders: a Qt built for the
# target (tools/qt5-mingw.sh), named in CMAKE_PREFIX_PATH, is one more such root.
if(CMAKE_CROSSCOMPILING)
    list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
endif()
find_package(Qt${VANTER_QT_MAJOR} ${vanter_qt_minimum} REQUIRED COMPONENTS ${vanter_qt_components})
message(STATUS "Window program: Qt ${Qt${VANTER_QT_MAJOR}_VERSION}")
