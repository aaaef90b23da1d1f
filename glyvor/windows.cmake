# The Windows edition: DirectWrite reads the font files, the Windows API
# converts text, and glyvor.exe is both the command line and the local
# automation server of "Glyvor.Document" (src/windows). Included from
# CMakeLists.txt after the shared targets.
target_sources(glyvor_core PRIVATE
  src/windows/encoding.cpp
  src/windows/file_system.cpp
  src/windows/font_file_reader.cpp
  src/windows/name_folding.cpp
)
target_include_directories(glyvor_core PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src/windows)
# The Windows 10 API (IDWriteFontFace3 for font names); kept to these targets,
# so that a program linking them chooses its own.
set(GLYVOR_WINDOWS_VERSION _WIN32_WINNT=0x0A00 WINVER=0x0A00)
target_compile_definitions(glyvor_core PRIVATE ${GLYVOR_WINDOWS_VERSION})
target_link_libraries(glyvor_core PRIVATE dwrite normaliz)

# IGlyvor's description, from the registered type library.
target_sources(glyvor_document PRIVATE src/windows/type_info.cpp)

# Registration, the server and starting it by hand, for the program and the host.
add_library(glyvor_server_control STATIC
  src/windows/local_server.cpp
  src/windows/quoting.cpp
  src/windows/registration.cpp
  src/windows/running.cpp
  src/windows/server_probe.cpp
  src/windows/type_library.cpp
)
target_include_directories(glyvor_server_control PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR}/src/windows)
target_link_libraries(glyvor_server_control PUBLIC glyvor_core glyvor_document platform)
target_compile_definitions(glyvor_server_control PRIVATE ${GLYVOR_WINDOWS_VERSION})
lumaro_warnings(glyvor_server_control)

add_library(glyvor_cli STATIC src/command_line.cpp)
target_link_libraries(glyvor_cli PUBLIC glyvor_core glyvor_server_control)
lumaro_warnings(glyvor_cli)

add_executable(glyvor cli/main_windows.cpp)
target_include_directories(glyvor PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src/windows)
target_link_libraries(glyvor PRIVATE glyvor_cli)
# A program with its own static runtime, as the module is: nothing to ship beside it.
target_link_options(glyvor PRIVATE -static -static-libgcc -static-libstdc++)
lumaro_warnings(glyvor)
