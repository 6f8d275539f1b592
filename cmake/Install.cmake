# What install puts under the prefix: the stripped commands (VRELC_COMMANDS), the man pages, the
# README, the guide and the examples in the documentation folder, and the editor files. The
# files are laid out by cmake/InstallFiles.cmake when installing, so that those naming a folder
# name the one they went to under the prefix of that install. `uninstall` removes what the last
# install recorded and the folders that installs made.
include(GNUInstallDirs)

# The man pages docs/NAME.N.in, for `man -l build/vrelc.1`; install writes its own copies for its
# prefix.
file(GLOB man_pages CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/docs
     ${PROJECT_SOURCE_DIR}/docs/*.[1-9].in)
foreach(page IN LISTS man_pages)
  string(REGEX REPLACE "\\.in$" "" name ${page})
  configure_file(docs/${page} ${PROJECT_BINARY_DIR}/${name} @ONLY)
endforeach()
configure_file(editors/vscode/package.json.in ${PROJECT_BINARY_DIR}/editors/vscode/package.json
               @ONLY)

install(CODE "
set(VRELC_SOURCE_DIR [[${PROJECT_SOURCE_DIR}]])
set(VRELC_BINARY_DIR [[${PROJECT_BINARY_DIR}]])
set(VRELC_VERSION ${PROJECT_VERSION})
set(VRELC_BINDIR [[${CMAKE_INSTALL_BINDIR}]])
set(VRELC_MANDIR [[${CMAKE_INSTALL_MANDIR}]])
set(VRELC_DOCDIR [[${CMAKE_INSTALL_DOCDIR}]])
set(VRELC_DATADIR [[${CMAKE_INSTALL_DATADIR}]])
")
install(SCRIPT cmake/InstallFiles.cmake)
install(TARGETS ${VRELC_COMMANDS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${PROJECT_BINARY_DIR}/install_manifest.txt
          -DFOLDERS=${PROJECT_BINARY_DIR}/install_folders.txt
          -P ${PROJECT_SOURCE_DIR}/cmake/Uninstall.cmake
  COMMENT "Removing the files of the last install")

# `make deb`: the Debian package of what install puts in place, in the build folder.
add_custom_target(deb
  COMMAND sh ${PROJECT_SOURCE_DIR}/scripts/make-deb.sh ${PROJECT_BINARY_DIR} ${PROJECT_VERSION}
          ${PROJECT_BINARY_DIR}
  VERBATIM)
add_dependencies(deb commands)
