# The type library: widl compiles control/Vellomar_TLB.idl into the binary
# library (embedded as TYPELIB 1) and the C++ declarations with the GUIDs.
set(VELLOMAR_GEN ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${VELLOMAR_GEN})
set(VELLOMAR_TLB_IDL ${CMAKE_SOURCE_DIR}/control/Vellomar_TLB.idl)
set(VELLOMAR_TLB_FILE ${VELLOMAR_GEN}/Vellomar_TLB.tlb)
set(VELLOMAR_TLB_HEADER ${VELLOMAR_GEN}/Vellomar_TLB.h)
set(VELLOMAR_TLB_GUIDS ${VELLOMAR_GEN}/Vellomar_TLB_i.c)
set(VELLOMAR_WIDL i686-w64-mingw32-widl)
set(VELLOMAR_WIDL_FLAGS --win32 -I/usr/include/wine/wine/windows
    -L/usr/lib/i386-linux-gnu/wine/i386-windows)

add_custom_command(
  OUTPUT ${VELLOMAR_TLB_FILE}
  COMMAND ${VELLOMAR_WIDL} ${VELLOMAR_WIDL_FLAGS} -t -o ${VELLOMAR_TLB_FILE} ${VELLOMAR_TLB_IDL}
  DEPENDS ${VELLOMAR_TLB_IDL}
  COMMENT "Compiling the type library")
add_custom_command(
  OUTPUT ${VELLOMAR_TLB_HEADER} ${VELLOMAR_TLB_GUIDS}
  COMMAND ${VELLOMAR_WIDL} ${VELLOMAR_WIDL_FLAGS} -h -o ${VELLOMAR_TLB_HEADER} ${VELLOMAR_TLB_IDL}
  COMMAND ${VELLOMAR_WIDL} ${VELLOMAR_WIDL_FLAGS} -u -o ${VELLOMAR_TLB_GUIDS} ${VELLOMAR_TLB_IDL}
  DEPENDS ${VELLOMAR_TLB_IDL}
  COMMENT "Writing the type library's declarations")
add_custom_target(vellomar_typelib DEPENDS
  ${VELLOMAR_TLB_FILE} ${VELLOMAR_TLB_HEADER} ${VELLOMAR_TLB_GUIDS})

# The GUIDs of the library, compiled once per target that needs them.
add_library(vellomar_tlb_guids STATIC ${VELLOMAR_TLB_GUIDS})
add_dependencies(vellomar_tlb_guids vellomar_typelib)
