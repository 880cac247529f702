# The Debian package of the install tree, built by `cpack -G DEB` (see
# scripts/package). Installs under /usr: the tool and its library in
# /usr/lib/trueext, the link in /usr/bin.

set(TRUEEXT_MAINTAINER
  "trueext maintainers <maintainers@users.noreply.c-seed-2c2cd50b.example>"
  CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trueext)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT ${TRUEEXT_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "give files the extension that their content calls for")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [[
trueext gives every file of a folder a file-name extension that matches its
content: report.bin holding a PDF becomes report.bin.pdf. It tries 19
built-in header signatures first and asks its own identification library,
built on libmagic and the shared MIME database, about every other file.

It prints one line per file saying what happened, never overwrites a file,
never follows links and only ever appends an extension. Suited to folders of
downloads, recovered data or malware samples named by their hash.]])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# dpkg-shlibdeps reads the libraries the binaries link (the C++ runtime);
# libmagic and the container readers' zlib and libtasn1 are loaded at run
# time, and the magic database and the MIME database are read as files, so
# they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libmagic1, libmagic-mgc, shared-mime-info, zlib1g, libtasn1-6")

# Stripped binaries, root-owned files, and folder modes that do not depend
# on the packager's umask.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# CPack adds maintainer scripts that run ldconfig for any shared object
# below /usr/lib. Ours is private, opened by its full path, so ldconfig has
# nothing to do for it; and a postrm would keep the package in dpkg's
# "config-files" state after removal. Naming a postinst and a postrm that do
# not exist turns those scripts off, and CPack adds only files that exist.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${CMAKE_BINARY_DIR}/no-maintainer-scripts/postinst
  ${CMAKE_BINARY_DIR}/no-maintainer-scripts/postrm)

include(CPack)
