# A Debian package of the installed layout: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME "quillet")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Quillet")
set(CPACK_PACKAGE_CONTACT "Quillet developers <quillet@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "see-through reference picture to trace from")
set(CPACK_PACKAGE_DESCRIPTION "Quillet shows a reference picture in a borderless window that \
floats, see-through, above every other program, so that it can be copied by hand.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_STRIP_FILES ON)
# The libraries the executables link come from dpkg-shlibdeps; what is loaded
# at run time only is named here: Qt's X11 platform plugin and a font with
# the Chinese the program's texts are written in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-cjk")
include(CPack)
