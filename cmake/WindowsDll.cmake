# The real Mirvane.dll: 64-bit, exports from plugin/Mirvane.def, the host's
# functions imported from TakeCmd.dll, runtimes linked in.
enable_language(RC)

# Every Windows target of the project speaks UTF-16: the W functions, and
# TEXT() as L"". Defined here once, for the plug-in, its tests and the session.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN)

set(MIRVANE_HOST_IMPLIB_DIR ${CMAKE_BINARY_DIR}/host-import)
if(MSVC)
    set(MIRVANE_HOST_IMPLIB ${MIRVANE_HOST_IMPLIB_DIR}/TakeCmd.lib)
    add_custom_command(OUTPUT ${MIRVANE_HOST_IMPLIB}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${MIRVANE_HOST_IMPLIB_DIR}
        COMMAND lib /nologo /machine:x64 /def:${CMAKE_SOURCE_DIR}/host/TakeCmd.def
                /out:${MIRVANE_HOST_IMPLIB}
        DEPENDS ${CMAKE_SOURCE_DIR}/host/TakeCmd.def)
else()
    find_program(MIRVANE_DLLTOOL NAMES ${CMAKE_DLLTOOL} x86_64-w64-mingw32-dlltool dlltool REQUIRED)
    set(MIRVANE_HOST_IMPLIB ${MIRVANE_HOST_IMPLIB_DIR}/libTakeCmd.dll.a)
    add_custom_command(OUTPUT ${MIRVANE_HOST_IMPLIB}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${MIRVANE_HOST_IMPLIB_DIR}
        COMMAND ${MIRVANE_DLLTOOL} -d ${CMAKE_SOURCE_DIR}/host/TakeCmd.def -D TakeCmd.dll
                -l ${MIRVANE_HOST_IMPLIB}
        DEPENDS ${CMAKE_SOURCE_DIR}/host/TakeCmd.def)
endif()
add_custom_target(takecmd_import_library DEPENDS ${MIRVANE_HOST_IMPLIB})

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

add_library(Mirvane SHARED ${MIRVANE_SOURCES} plugin/Mirvane.def plugin/version.rc)
# windres reports no headers to the build, so a new version would leave an
# incremental build with the old resource.
set_source_files_properties(plugin/version.rc PROPERTIES OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/plugin/plugin_version.h)
set_target_properties(Mirvane PROPERTIES PREFIX "" OUTPUT_NAME Mirvane)
target_include_directories(Mirvane PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(Mirvane PRIVATE ${MIRVANE_PLUGIN_OPTIONS})
add_dependencies(Mirvane takecmd_import_library)
target_link_libraries(Mirvane PRIVATE ${MIRVANE_HOST_IMPLIB} user32 advapi32)
if(MSVC)
    set_property(TARGET Mirvane PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
else()
    # No libgcc, libstdc++ or libwinpthread DLL may be needed at load time.
    target_link_options(Mirvane PRIVATE -static -static-libgcc -static-libstdc++ -s)
    # A user checks a released DLL by building this source and comparing
    # bytes, so the file must not record when or where it was made. ld stamps
    # the link time into the file header and the export directory (and so
    # into the checksum) unless told not to. Paths: -s leaves no debug
    # information, and the prefix map keeps a later __FILE__ or assert from
    # carrying the checkout's folder into the strings.
    target_link_options(Mirvane PRIVATE -Wl,--no-insert-timestamp)
    target_compile_options(Mirvane PRIVATE -ffile-prefix-map=${CMAKE_SOURCE_DIR}/=)
endif()

add_subdirectory(standins/host)

# The tests run the DLL under Wine from a Linux cross build.
if(MIRVANE_TESTS AND NOT MSVC)
    enable_testing()
    add_subdirectory(tests/wine)
endif()

add_subdirectory(standins/session)
