# Compile settings shared by the program, its tests and benchmarks.
add_library(purvex_options INTERFACE)
target_compile_definitions(purvex_options INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
    _WIN32_WINNT=0x0A00 WINVER=0x0A00 NTDDI_VERSION=0x0A000006)
target_include_directories(purvex_options INTERFACE ${PROJECT_SOURCE_DIR}/src)
if(MSVC)
    target_compile_options(purvex_options INTERFACE /W4 /permissive- /utf-8)
else()
    target_compile_options(purvex_options INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wno-missing-field-initializers)
    target_link_options(purvex_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()

# Runs Windows programs under the project's own Wine prefix, never the user's.
if(CMAKE_CROSSCOMPILING AND NOT MSVC)
    set(PURVEX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine CACHE PATH "Wine prefix for tests and runs")
    configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                    WORLD_READ WORLD_EXECUTE @ONLY)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()
