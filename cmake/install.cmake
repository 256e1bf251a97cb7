# The program's own files, laid out in the build tree as they are installed
# so that the executable finds them the same way in both (relative to
# itself): the welcome pages under share/orbisline/, the module beside the
# executable in the build tree and under lib/orbisline/ installed.
#
# Installed: bin/orbisline, lib/orbisline/ (the module and the platform's
# shared library, the process's shared home of the executable and the
# module),
# share/orbisline/ (the welcome pages), share/man/man1/orbisline.1.gz.
# CPack makes a Debian package of the same files (make package).

set(orbis_welcome_dir ${CMAKE_BINARY_DIR}/share/orbisline)
set(orbis_welcome_pages index.html keys.html pages.html)
set(orbis_welcome_copies)
foreach(name ${orbis_welcome_pages})
  set(page ${CMAKE_SOURCE_DIR}/welcome/${name})
  add_custom_command(OUTPUT ${orbis_welcome_dir}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy ${page} ${orbis_welcome_dir}/${name}
    DEPENDS ${page} VERBATIM)
  list(APPEND orbis_welcome_copies ${orbis_welcome_dir}/${name})
endforeach()
add_custom_target(welcome_pages ALL DEPENDS ${orbis_welcome_copies})

# Debian compresses manual pages; man reads them either way.
set(orbis_man_page ${CMAKE_BINARY_DIR}/share/man/man1/orbisline.1)
add_custom_command(OUTPUT ${orbis_man_page}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/docs/orbisline.1 ${orbis_man_page}
  COMMAND gzip -9nf ${orbis_man_page}
  DEPENDS ${CMAKE_SOURCE_DIR}/docs/orbisline.1 VERBATIM)
add_custom_target(man_page ALL DEPENDS ${orbis_man_page}.gz)

add_dependencies(orbisline welcome_pages)

set(orbis_module_dir lib/orbisline)
set_target_properties(orbisline PROPERTIES INSTALL_RPATH "$ORIGIN/../${orbis_module_dir}")
set_target_properties(Orbisline PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS orbisline RUNTIME DESTINATION bin)
install(TARGETS Orbisline orbis_process LIBRARY DESTINATION ${orbis_module_dir})
install(FILES ${orbis_welcome_copies} DESTINATION share/orbisline)
install(FILES ${orbis_man_page}.gz DESTINATION share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbisline)
set(CPACK_PACKAGE_VENDOR "Orbisline")
set(CPACK_PACKAGE_CONTACT "Orbisline maintainers <maintainers@orbisline.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "text-mode viewer for HTML pages")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Orbisline shows HTML pages as text in a terminal: it lays a page out at\n"
  "the terminal's width, in the page's colours, and follows its links to\n"
  "anchors and to other files, with a history to go back through.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
# The dependencies come from the libraries the binaries use (dpkg-shlibdeps);
# the platform's shared library is the package's own.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
