# The Debian package: "cpack -G DEB" in a build folder (scripts/package does
# it in a release build of its own). Its library dependencies come from the
# binaries themselves through dpkg-shlibdeps; Depends below names only what
# the program loads at run time without linking it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pennolux)
set(CPACK_PACKAGE_VENDOR Zantoph)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set(CPACK_PACKAGE_CONTACT "Zantoph <support@zantoph.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn a list of short texts into image files")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Pennolux turns a list of short texts, typically e-mail addresses to be
published as pictures rather than as text, into image files: one image per
line, as PNG, WEBP, JPEG, TIFF, GIF or BMP, never overwriting a file.
.
The package holds the desktop program pennolux and the command-line tool
pennolux-batch, which makes the same images without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${PENNOLUX_SERVICE_BASE}/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Tahoma for the design's font; Qt's image plugins read the pictures the
# Advanced page offers; fontconfig finds the fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, fontconfig, qt6-image-formats-plugins")
# Qt's own dialogs (file chooser, buttons) in the user's language; Wayland
# sessions want Qt's Wayland plugin; qt6-qpa-plugins brings the rest of Qt's
# platforms.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Only the program's own files: the build tree also holds tests and tools.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/")
include(CPack)
