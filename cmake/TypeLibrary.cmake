# The type library. widl compiles control/Vellomar_TLB.idl into a first
# binary library and the C++ declarations with the GUIDs; the build tool
# FinishTypeLib (tools/typelib, run under Wine with the build's own prefix)
# then rebuilds the library through ICreateTypeLib2 with the types in their
# published order and the help strings that widl cannot write. The finished
# library is embedded as TYPELIB 1.
set(VELLOMAR_GEN ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${VELLOMAR_GEN})
set(VELLOMAR_TLB_IDL ${CMAKE_SOURCE_DIR}/control/Vellomar_TLB.idl)
set(VELLOMAR_TLB_WIDL ${VELLOMAR_GEN}/Vellomar_TLB.widl.tlb)
set(VELLOMAR_TLB_FILE ${VELLOMAR_GEN}/Vellomar_TLB.tlb)
set(VELLOMAR_TLB_HEADER ${VELLOMAR_GEN}/Vellomar_TLB.h)
set(VELLOMAR_TLB_GUIDS ${VELLOMAR_GEN}/Vellomar_TLB_i.c)
set(VELLOMAR_WIDL i686-w64-mingw32-widl)
set(VELLOMAR_WIDL_FLAGS --win32 -I/usr/include/wine/wine/windows
    -L/usr/lib/i386-linux-gnu/wine/i386-windows)
set(VELLOMAR_BUILD_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-build-prefix)

add_custom_command(
  OUTPUT ${VELLOMAR_TLB_WIDL}
  COMMAND ${VELLOMAR_WIDL} ${VELLOMAR_WIDL_FLAGS} -t -o ${VELLOMAR_TLB_WIDL} ${VELLOMAR_TLB_IDL}
  DEPENDS ${VELLOMAR_TLB_IDL}
  COMMENT "Compiling the type library")
add_custom_command(
  OUTPUT ${VELLOMAR_TLB_HEADER} ${VELLOMAR_TLB_GUIDS}
  COMMAND ${VELLOMAR_WIDL} ${VELLOMAR_WIDL_FLAGS} -h -o ${VELLOMAR_TLB_HEADER} ${VELLOMAR_TLB_IDL}
  COMMAND ${VELLOMAR_WIDL} ${VELLOMAR_WIDL_FLAGS} -u -o ${VELLOMAR_TLB_GUIDS} ${VELLOMAR_TLB_IDL}
  DEPENDS ${VELLOMAR_TLB_IDL}
  COMMENT "Writing the type library's declarations")

add_executable(FinishTypeLib tools/typelib/FinishTypeLib.cpp tools/typelib/TypeLibRebuilder.cpp
  tools/typelib/ImportFixup.cpp)
target_include_directories(FinishTypeLib PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(FinishTypeLib PRIVATE -municode)
target_link_libraries(FinishTypeLib PRIVATE oleaut32 ole32 uuid ${VELLOMAR_STATIC_LINK})

# Wine's own drive Z: is the Unix root, so Z: plus an absolute path names
# the same file inside Wine.
add_custom_command(
  OUTPUT ${VELLOMAR_TLB_FILE}
  COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${VELLOMAR_BUILD_WINEPREFIX} WINEARCH=win32
          WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml="
          wine $<TARGET_FILE:FinishTypeLib> Z:${VELLOMAR_TLB_WIDL} Z:${VELLOMAR_TLB_FILE}
  DEPENDS FinishTypeLib ${VELLOMAR_TLB_WIDL}
  COMMENT "Finishing the type library under Wine")

add_custom_target(vellomar_typelib DEPENDS
  ${VELLOMAR_TLB_FILE} ${VELLOMAR_TLB_HEADER} ${VELLOMAR_TLB_GUIDS})

# The GUIDs of the library, for every target that uses its declarations.
add_library(vellomar_tlb_guids STATIC ${VELLOMAR_TLB_GUIDS})
add_dependencies(vellomar_tlb_guids vellomar_typelib)
