# MinGW: one libgcc and one libstdc++ per process. A build with the window shares the DLLs that
# Qt's DLLs import (libgcc_s_*-1.dll, libstdc++-6.dll, libwinpthread-1.dll): on i686 an
# exception unwinds through the DWARF tables each copy of libgcc registers for itself, so one
# thrown in the program and caught beyond Qt's frames (QApplication::notify) would end the
# program if it carried a copy of its own. The ZIP carries those DLLs. Without Qt, programs and
# DLLs link everything in and run on a bare Windows (or wine) with nothing beside them.
if(VANTER_BUILD_GUI)
    add_link_options(-shared-libgcc)
else()
    add_link_options(-static)
endif()
