# The codec libraries: Debian's -dev packages natively, the cross-built static
# libraries from the cache for Windows. Defines the target vellomar_codecs.
add_library(vellomar_codecs INTERFACE)
if(WIN32)
  set(prefix ${VELLOMAR_MINGW_PREFIX})
  target_include_directories(vellomar_codecs INTERFACE
    ${prefix}/include ${prefix}/include/openjpeg-2.5)
  target_compile_definitions(vellomar_codecs INTERFACE OPJ_STATIC)
  # Static archives in dependency order: tiff needs jpeg and zlib, png zlib.
  target_link_libraries(vellomar_codecs INTERFACE
    ${prefix}/lib/libtiff.a ${prefix}/lib/libopenjp2.a ${prefix}/lib/libpng16.a
    ${prefix}/lib/libjpeg.a /usr/i686-w64-mingw32/lib/libz.a)
else()
  find_package(JPEG REQUIRED)
  find_package(PNG REQUIRED)
  find_package(TIFF REQUIRED)
  find_package(ZLIB REQUIRED)
  find_package(OpenJPEG REQUIRED)
  target_include_directories(vellomar_codecs INTERFACE ${OPENJPEG_INCLUDE_DIRS})
  target_link_libraries(vellomar_codecs INTERFACE
    TIFF::TIFF PNG::PNG JPEG::JPEG ZLIB::ZLIB ${OPENJPEG_LIBRARIES})
endif()
