# The program's own files, laid out in the build tree as they are installed
# so that the executable finds them the same way in both (relative to
# itself): the welcome pages under share/orbisline/, the module beside the
# executable in the build tree and under lib/orbisline/ installed.
#
# Installed: bin/orbisline, lib/orbisline/ (the module and the platform's
# shared library, the process's shared home of the executable and the
# module),
# share/orbisline/ (the welcome pages), share/man/man1/orbisline.1.gz,
# share/doc/orbisline/ (copyright and changelog, as Debian wants them) and
# lib/mime/packages/orbisline (the mailcap entry that Debian's update-mime
# collects, so that mail readers and run-mailcap show HTML with it). CPack
# makes a Debian package of the same files (make package). Everything is
# built with the executable, so that installing works after building just
# the executable and the module.

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

# Debian compresses manual pages and changelogs; man reads them either way.
function(orbis_gzipped_copy source copy)
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    COMMAND gzip -9nf ${copy}
    DEPENDS ${source} VERBATIM)
endfunction()
set(orbis_man_page ${CMAKE_BINARY_DIR}/share/man/man1/orbisline.1)
orbis_gzipped_copy(${CMAKE_SOURCE_DIR}/docs/orbisline.1 ${orbis_man_page})
configure_file(${CMAKE_SOURCE_DIR}/cmake/debian/changelog.in
               ${CMAKE_BINARY_DIR}/cmake/changelog @ONLY)
set(orbis_changelog ${CMAKE_BINARY_DIR}/share/doc/orbisline/changelog)
orbis_gzipped_copy(${CMAKE_BINARY_DIR}/cmake/changelog ${orbis_changelog})
add_custom_target(installed_docs ALL DEPENDS ${orbis_man_page}.gz ${orbis_changelog}.gz)

add_dependencies(orbisline welcome_pages installed_docs)

set(orbis_module_dir lib/orbisline)
set_target_properties(orbisline PROPERTIES INSTALL_RPATH "$ORIGIN/../${orbis_module_dir}")
set_target_properties(Orbisline PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS orbisline RUNTIME DESTINATION bin)
install(TARGETS Orbisline orbis_process LIBRARY DESTINATION ${orbis_module_dir})
install(FILES ${orbis_welcome_copies} DESTINATION share/orbisline)
install(FILES ${orbis_man_page}.gz DESTINATION share/man/man1)
install(FILES ${orbis_changelog}.gz ${CMAKE_SOURCE_DIR}/cmake/debian/copyright
        DESTINATION share/doc/orbisline)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/debian/mailcap DESTINATION lib/mime/packages
        RENAME orbisline)

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
