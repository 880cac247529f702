# What `cmake --install` adds around the tool, its library and definitions
# (installed by src/ and lib/ident/ into TRUEEXT_INSTALL_PRIVATEDIR):
#   bin/trueext                      a link to the tool in the private folder
#   share/man/man1/trueext.1.gz      the manual page
#   share/doc/trueext/copyright      and changelog.gz, as Debian lays them out
# and the Debian package that CPack builds from that tree.

# The link is relative, so the tree works under any prefix and DESTDIR. The
# kernel resolves it when the tool starts, and the tool finds its own folder
# from /proc/self/exe, which names the target, not the link.
file(RELATIVE_PATH TRUEEXT_LINK_TARGET
  /${CMAKE_INSTALL_BINDIR} /${TRUEEXT_INSTALL_PRIVATEDIR}/trueext)
set(TRUEEXT_LINK_DIR ${CMAKE_BINARY_DIR}/install-link)
file(MAKE_DIRECTORY ${TRUEEXT_LINK_DIR})
file(CREATE_LINK ${TRUEEXT_LINK_TARGET} ${TRUEEXT_LINK_DIR}/trueext SYMBOLIC)
install(FILES ${TRUEEXT_LINK_DIR}/trueext DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual page and changelog are installed compressed with gzip -9n: no name
# or time stamp in the header, so the same source gives the same bytes.
function(trueext_gzip source output)
  add_custom_command(
    OUTPUT ${output}
    COMMAND gzip -9n -c ${source} > ${output}
    DEPENDS ${source}
    VERBATIM)
endfunction()

set(TRUEEXT_MAN_PAGE ${CMAKE_BINARY_DIR}/trueext.1.gz)
set(TRUEEXT_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.gz)
trueext_gzip(${PROJECT_SOURCE_DIR}/doc/trueext.1 ${TRUEEXT_MAN_PAGE})
trueext_gzip(${PROJECT_SOURCE_DIR}/packaging/debian/changelog ${TRUEEXT_CHANGELOG})
add_custom_target(install_docs ALL DEPENDS ${TRUEEXT_MAN_PAGE} ${TRUEEXT_CHANGELOG})

install(FILES ${TRUEEXT_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright ${TRUEEXT_CHANGELOG}
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/trueext)

# The changelog's newest entry and the manual page's title line name the
# version the package carries.
function(trueext_expect_version file pattern)
  file(STRINGS ${PROJECT_SOURCE_DIR}/${file} head LIMIT_COUNT 1)
  if(NOT head MATCHES "${pattern}")
    message(FATAL_ERROR "${file} does not name version ${PROJECT_VERSION}: ${head}")
  endif()
endfunction()
string(REPLACE "." "\\." TRUEEXT_VERSION_PATTERN ${PROJECT_VERSION})
trueext_expect_version(packaging/debian/changelog "^trueext \\(${TRUEEXT_VERSION_PATTERN}\\) ")
trueext_expect_version(doc/trueext.1 "^\\.TH TRUEEXT 1 [0-9-]+ \"trueext ${TRUEEXT_VERSION_PATTERN}\" ")

include(${CMAKE_CURRENT_LIST_DIR}/debian_package.cmake)
