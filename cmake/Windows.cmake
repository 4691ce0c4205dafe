# Windows 32-bit build (mingw-w64 i686): the OCX, the Windows tests and the
# demo host, all statically linked so a host needs no other DLL.
include(cmake/Codecs.cmake)

set(VELLOMAR_STATIC_LINK -static -static-libgcc -static-libstdc++)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

file(GLOB VELLOMAR_WIN32_PLATFORM CONFIGURE_DEPENDS platform/win32/*.cpp ftp/win32/*.cpp)
add_library(vellomar_core STATIC ${VELLOMAR_CORE_SOURCES} ${VELLOMAR_WIN32_PLATFORM})
target_include_directories(vellomar_core PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(vellomar_core PUBLIC vellomar_codecs Threads::Threads
  wininet ole32 oleaut32 uuid user32 gdi32 comdlg32 comctl32 shlwapi advapi32)

include(cmake/TypeLibrary.cmake)

# The control module.
file(GLOB VELLOMAR_OCX_SOURCES CONFIGURE_DEPENDS control/win32/*.cpp surface/win32/*.cpp)
add_library(Vellomar SHARED ${VELLOMAR_OCX_SOURCES}
  resources/Vellomar.rc control/win32/Vellomar.def)
set_target_properties(Vellomar PROPERTIES PREFIX "" SUFFIX ".ocx" OUTPUT_NAME Vellomar)
target_link_libraries(Vellomar PRIVATE vellomar_core vellomar_tlb_guids ${VELLOMAR_STATIC_LINK})
target_link_options(Vellomar PRIVATE -Wl,--enable-stdcall-fixup -Wl,--kill-at)
add_dependencies(Vellomar vellomar_typelib)
# The pictures of the resources, made from their text sources.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(VELLOMAR_MAKE_RESOURCE ${CMAKE_SOURCE_DIR}/tools/resources/make_resource.py)
set(VELLOMAR_PICTURES)
foreach(cursor Eraser DRAWLINE DRAWBOX DRAWTEXT)
  set(source ${CMAKE_SOURCE_DIR}/resources/cursors/${cursor}.cursor.txt)
  add_custom_command(OUTPUT ${VELLOMAR_GEN}/${cursor}.cur
    COMMAND Python3::Interpreter ${VELLOMAR_MAKE_RESOURCE} cursor ${source} ${VELLOMAR_GEN}/${cursor}.cur
    DEPENDS ${source} ${VELLOMAR_MAKE_RESOURCE})
  list(APPEND VELLOMAR_PICTURES ${VELLOMAR_GEN}/${cursor}.cur)
endforeach()
add_custom_command(OUTPUT ${VELLOMAR_GEN}/Toolbox.bmp
  COMMAND Python3::Interpreter ${VELLOMAR_MAKE_RESOURCE} bitmap
          ${CMAKE_SOURCE_DIR}/resources/Toolbox.bitmap.txt ${VELLOMAR_GEN}/Toolbox.bmp
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/Toolbox.bitmap.txt ${VELLOMAR_MAKE_RESOURCE})
list(APPEND VELLOMAR_PICTURES ${VELLOMAR_GEN}/Toolbox.bmp)
add_custom_target(vellomar_pictures DEPENDS ${VELLOMAR_PICTURES})
add_dependencies(Vellomar vellomar_pictures)

file(GLOB VELLOMAR_RC_PARTS CONFIGURE_DEPENDS resources/*.rc)
set_source_files_properties(resources/Vellomar.rc PROPERTIES
  OBJECT_DEPENDS "${VELLOMAR_TLB_FILE};${VELLOMAR_PICTURES};${VELLOMAR_RC_PARTS}")
target_include_directories(Vellomar PRIVATE ${VELLOMAR_GEN} ${CMAKE_SOURCE_DIR}/resources)

# Windows tests (GoogleTest built with mingw, run under Wine).
find_package(GTest REQUIRED)
file(GLOB VELLOMAR_WIN_TESTS CONFIGURE_DEPENDS tests/win/*.cpp)
if(VELLOMAR_WIN_TESTS)
  add_executable(vellomar_wintests ${VELLOMAR_WIN_TESTS})
  target_link_libraries(vellomar_wintests PRIVATE vellomar_core vellomar_tlb_guids
    GTest::gtest GTest::gmock ws2_32 version ${VELLOMAR_STATIC_LINK})
  add_dependencies(vellomar_wintests vellomar_typelib)
  # Parts of the control module that are tested on their own too.
  target_sources(vellomar_wintests PRIVATE control/win32/FormEvents.cpp
    control/win32/EventForwarder.cpp control/win32/FormFontLink.cpp
    control/win32/ModuleState.cpp)
endif()

# The demo host.
file(GLOB VELLOMAR_DEMO_SOURCES CONFIGURE_DEPENDS tools/demo/*.cpp)
if(VELLOMAR_DEMO_SOURCES)
  add_executable(VellomarDemo WIN32 ${VELLOMAR_DEMO_SOURCES})
  target_link_libraries(VellomarDemo PRIVATE vellomar_core vellomar_tlb_guids shell32 ${VELLOMAR_STATIC_LINK})
  target_link_options(VellomarDemo PRIVATE -municode)
  add_dependencies(VellomarDemo vellomar_typelib)
endif()
