# What `cmake --install` puts where (GNU directory layout), and the Debian packages
# CPack makes from it: libfolian32-1 (the versioned library), libfolian32-dev (header,
# pkg-config file, CMake package, the unversioned link), folian-tools (the folian
# command) and orvane (the desktop program). Tests and the office simulator are
# never installed.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(FOLIAN_DOC_LIB "${CMAKE_INSTALL_DATADIR}/doc/libfolian32-1")
set(FOLIAN_DOC_DEV "${CMAKE_INSTALL_DATADIR}/doc/libfolian32-dev")
set(FOLIAN_DOC_TOOLS "${CMAKE_INSTALL_DATADIR}/doc/folian-tools")
set(FOLIAN_DOC_ORVANE "${CMAKE_INSTALL_DATADIR}/doc/orvane")
set(FOLIAN_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/folian32")

# The packages' copyright files name the license; NEWS goes with the library.
configure_file("${CMAKE_SOURCE_DIR}/cmake/copyright.in" "${CMAKE_BINARY_DIR}/copyright" @ONLY)

if(TARGET folian32)
  target_include_directories(folian32 INTERFACE "$<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>")
  install(TARGETS folian32 EXPORT folian32Targets
          LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT lib NAMELINK_COMPONENT dev)
  install(FILES "${CMAKE_SOURCE_DIR}/pdf/api/folian32.h" DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/folian32"
          COMPONENT dev)
  install(FILES "${CMAKE_SOURCE_DIR}/pdf/api/folian32_automation.h"
          DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/folian32" COMPONENT dev)
  install(EXPORT folian32Targets NAMESPACE folian32:: DESTINATION "${FOLIAN_CMAKE_DIR}" COMPONENT dev)
  configure_package_config_file("${CMAKE_SOURCE_DIR}/cmake/folian32Config.cmake.in"
                                "${CMAKE_BINARY_DIR}/folian32Config.cmake" INSTALL_DESTINATION "${FOLIAN_CMAKE_DIR}")
  write_basic_package_version_file("${CMAKE_BINARY_DIR}/folian32ConfigVersion.cmake"
                                   COMPATIBILITY SameMajorVersion)
  install(FILES "${CMAKE_BINARY_DIR}/folian32Config.cmake" "${CMAKE_BINARY_DIR}/folian32ConfigVersion.cmake"
          DESTINATION "${FOLIAN_CMAKE_DIR}" COMPONENT dev)
  file(RELATIVE_PATH FOLIAN_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
  string(REGEX REPLACE "/$" "" FOLIAN_PC_TO_PREFIX "${FOLIAN_PC_TO_PREFIX}")
  configure_file("${CMAKE_SOURCE_DIR}/cmake/folian32.pc.in" "${CMAKE_BINARY_DIR}/folian32.pc" @ONLY)
  install(FILES "${CMAKE_BINARY_DIR}/folian32.pc" DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig" COMPONENT dev)
  install(FILES "${CMAKE_BINARY_DIR}/copyright" "${CMAKE_SOURCE_DIR}/NEWS" DESTINATION "${FOLIAN_DOC_LIB}"
          COMPONENT lib)
  install(FILES "${CMAKE_BINARY_DIR}/copyright" DESTINATION "${FOLIAN_DOC_DEV}" COMPONENT dev)
endif()

if(TARGET folian)
  install(TARGETS folian RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT tools)
  install(FILES "${CMAKE_SOURCE_DIR}/docs/man/folian.1" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT tools)
  install(FILES "${CMAKE_BINARY_DIR}/copyright" DESTINATION "${FOLIAN_DOC_TOOLS}" COMPONENT tools)
endif()

if(TARGET orvane)
  install(TARGETS orvane RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT orvane)
  install(FILES "${CMAKE_SOURCE_DIR}/docs/man/orvane.1" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT orvane)
  install(FILES "${CMAKE_SOURCE_DIR}/app/desktop/orvane.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications"
          COMPONENT orvane)
  install(FILES "${CMAKE_SOURCE_DIR}/app/desktop/orvane.svg"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps" COMPONENT orvane)
  install(FILES "${CMAKE_BINARY_DIR}/copyright" DESTINATION "${FOLIAN_DOC_ORVANE}" COMPONENT orvane)
endif()

# The Java classes, once they are built, go to share/java.
if(TARGET folian32_jar)
  install_jar(folian32_jar DESTINATION "${CMAKE_INSTALL_DATADIR}/java" COMPONENT dev)
endif()

# Debian packages: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME folian32)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Larkwell")
set(CPACK_PACKAGE_CONTACT "folian32 maintainers <folian32@larkwell.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "PDF toolkit: write, read, merge, draw, forms and text")
set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_SOURCE_DIR}/LICENSE")
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL lib dev)
if(TARGET folian)
  list(APPEND CPACK_COMPONENTS_ALL tools)
endif()
if(TARGET orvane)
  list(APPEND CPACK_COMPONENTS_ALL orvane)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Programs of this build link the library that the lib package ships.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${CMAKE_BINARY_DIR}/pdf")
set(exact "(= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_LIB_PACKAGE_NAME libfolian32-1)
# libcrypto is loaded when the first encrypted file is read, so the shared-library
# scan cannot see it: its package is named here.
set(CPACK_DEBIAN_LIB_PACKAGE_DEPENDS "libssl3 | libssl3t64")
set(CPACK_DEBIAN_LIB_DESCRIPTION "PDF toolkit library (shared object)\n"
    " Writes PDF 1.3 files in one pass, reads and merges existing files, draws text,\n"
    " lines, images and tables, keeps bookmarks, links and form fields, and extracts text.")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libfolian32-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libfolian32-1 ${exact}")
set(CPACK_DEBIAN_DEV_DESCRIPTION "PDF toolkit library (development files)\n"
    " The C header, the pkg-config file and the CMake package (folian32::folian32).")
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME folian-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "libfolian32-1 ${exact}")
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "PDF toolkit command line (folian)\n"
    " Merges page ranges of PDF files, shows their structure and writes sample documents.")
set(CPACK_DEBIAN_ORVANE_PACKAGE_NAME orvane)
set(CPACK_DEBIAN_ORVANE_PACKAGE_SECTION misc)
# The window needs Qt's platform plugins; the Korean texts want a CJK font.
set(CPACK_DEBIAN_ORVANE_PACKAGE_DEPENDS "libfolian32-1 ${exact}, xdg-utils, qt6-qpa-plugins")
set(CPACK_DEBIAN_ORVANE_PACKAGE_RECOMMENDS "fonts-noto-cjk")
set(CPACK_DEBIAN_ORVANE_DESCRIPTION "Patent document retrieval for patent professionals\n"
    " Finds patent documents at patent-office services, downloads their pages in\n"
    " parallel and joins them into one PDF or multi-page TIFF per section.")
include(CPack)
