# The native build: the plug-in's sources against the Windows and host
# stand-ins, for unit tests, sanitizers, fuzzers and benchmarks.
file(GLOB MIRVANE_WINDOWS_STANDIN_SOURCES CONFIGURE_DEPENDS standins/windows/*.cpp)

add_library(wide_format STATIC standins/host/wide_format.cpp)
target_include_directories(wide_format PUBLIC ${CMAKE_SOURCE_DIR})

add_library(windows_standin STATIC ${MIRVANE_WINDOWS_STANDIN_SOURCES})
target_include_directories(windows_standin PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(windows_standin PUBLIC wide_format)

add_library(host_standin STATIC standins/host/host_standin.cpp)
target_link_libraries(host_standin PUBLIC windows_standin wide_format)

add_library(mirvane_plugin STATIC ${MIRVANE_SOURCES})
target_include_directories(mirvane_plugin PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(mirvane_plugin PRIVATE ${MIRVANE_PLUGIN_OPTIONS})
target_link_libraries(mirvane_plugin PUBLIC host_standin windows_standin)

if(MIRVANE_TESTS)
    enable_testing()
    add_subdirectory(tests/native)
endif()
if(MIRVANE_BENCHMARKS)
    add_subdirectory(tests/bench)
endif()
if(MIRVANE_FUZZ)
    add_subdirectory(tests/fuzz)
endif()
