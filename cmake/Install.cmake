# What `make install` puts under the prefix: the stripped compiler and language server, their
# man pages, the guide and the examples, and the editor files. `uninstall` removes what the last
# install recorded.
include(GNUInstallDirs)

set(VRELC_EDITORS_DIR ${CMAKE_INSTALL_DATADIR}/vrelc/editors)
configure_file(docs/vrelc.1.in ${PROJECT_BINARY_DIR}/vrelc.1 @ONLY)
configure_file(docs/vrel-lsp.1.in ${PROJECT_BINARY_DIR}/vrel-lsp.1 @ONLY)
configure_file(editors/vscode/package.json.in ${PROJECT_BINARY_DIR}/editors/vscode/package.json
               @ONLY)

install(TARGETS vrelc vrel-lsp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_BINARY_DIR}/vrelc.1 ${PROJECT_BINARY_DIR}/vrel-lsp.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md docs/language.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(DIRECTORY editors/ DESTINATION ${VRELC_EDITORS_DIR} PATTERN package.json.in EXCLUDE)
install(FILES ${PROJECT_BINARY_DIR}/editors/vscode/package.json
        DESTINATION ${VRELC_EDITORS_DIR}/vscode)

add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${PROJECT_BINARY_DIR}/install_manifest.txt
          -DOWN_DIRS=${CMAKE_INSTALL_DOCDIR},${CMAKE_INSTALL_DATADIR}/vrelc
          -P ${PROJECT_SOURCE_DIR}/cmake/Uninstall.cmake
  COMMENT "Removing the files of the last install")
