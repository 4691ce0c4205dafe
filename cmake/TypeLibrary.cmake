# The type library: widl compiles control/Vellomar_TLB.idl into the binary
# library (embedded as TYPELIB 1) and the C++ declarations with the GUIDs.
set(VELLOMAR_GEN ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${VELLOMAR_GEN})
set(VELLOMAR_TLB_FILE ${VELLOMAR_GEN}/Vellomar_TLB.tlb)
set(VELLOMAR_WIDL i686-w64-mingw32-widl)
set(VELLOMAR_WINE_IDL /usr/include/wine/wine/windows)
set(VELLOMAR_STDOLE_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
add_custom_command(
  OUTPUT ${VELLOMAR_TLB_FILE} ${VELLOMAR_GEN}/Vellomar_TLB.h ${VELLOMAR_GEN}/Vellomar_TLB_i.c
  COMMAND ${VELLOMAR_WIDL} --win32 -I${VELLOMAR_WINE_IDL} -L${VELLOMAR_STDOLE_DIR}
          -t -o ${VELLOMAR_TLB_FILE}
          -h -H ${VELLOMAR_GEN}/Vellomar_TLB.h
          -u -U ${VELLOMAR_GEN}/Vellomar_TLB_i.c
          ${CMAKE_SOURCE_DIR}/control/Vellomar_TLB.idl
  DEPENDS ${CMAKE_SOURCE_DIR}/control/Vellomar_TLB.idl
  COMMENT "Compiling the type library")
add_custom_target(vellomar_typelib DEPENDS ${VELLOMAR_TLB_FILE})
