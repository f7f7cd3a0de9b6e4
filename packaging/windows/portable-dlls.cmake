# Copies into the install folder every DLL that the program, its libraries and modules
# import, and the ones those import, found in the given folders; Windows' own DLLs are
# in none of them and stay out. CMakeLists.txt here sets program, libraries, modules,
# folders, objdump and names.

# Windows finds a DLL by its name in any case. CMake 3.25 (Debian 12's) looks for the
# name in lower case, which a Linux file system does not find ("Qt6Core.dll"), so a
# folder of links by the lower-case names stands in for the folders, the first folder's
# DLL winning as in a search, and each link found leads to its file.
file(REMOVE_RECURSE "${names}")
file(MAKE_DIRECTORY "${names}")
foreach(folder IN LISTS folders)
    file(GLOB dlls "${folder}/*.dll")
    foreach(dll IN LISTS dlls)
        cmake_path(GET dll FILENAME name)
        string(TOLOWER "${name}" name)
        if(NOT EXISTS "${names}/${name}")
            file(CREATE_LINK "${dll}" "${names}/${name}" SYMBOLIC)
        endif()
    endforeach()
endforeach()

set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${objdump}")
file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES "${program}" LIBRARIES ${libraries} MODULES ${modules}
    DIRECTORIES "${names}"
    RESOLVED_DEPENDENCIES_VAR links UNRESOLVED_DEPENDENCIES_VAR windows_own)
foreach(link IN LISTS links)
    file(REAL_PATH "${link}" dll)
    file(INSTALL "${dll}" DESTINATION "${CMAKE_INSTALL_PREFIX}")
endforeach()
