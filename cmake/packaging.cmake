# The Debian package: `cpack -G DEB` in the build folder, after a build, packs what
# `cmake --install` installs under /usr, with Depends worked out from the programs' libraries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvelandiscope)
set(CPACK_PACKAGE_VENDOR "The Quorvelandiscope developers")
set(CPACK_PACKAGE_CONTACT "Quorvelandiscope maintainers <maintainers@quorvelandiscope.example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quorvelandiscope.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "static web galleries from folders of JPEG photos")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The extended description below the summary line; CPack indents its lines and turns the
# empty line into the paragraph mark.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quorvelandiscope makes a web picture gallery from folders of JPEG photographs
in one batch: a small thumbnail of every photo, made with an exact Lanczos3
resampler, and HTML index pages that show the thumbnails in a table, each
linked to its photo or to a page made for it, with captions, colours,
backgrounds, a navigator between split pages and custom HTML.

The package holds the Qt 6 window, quorvelandiscope, and quorvel-batch, which
makes the same gallery from the command line without a display.")

include(CPack)
