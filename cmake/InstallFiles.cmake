# Run by install (cmake_install.cmake sets VRELC_SOURCE_DIR, VRELC_BINARY_DIR, VRELC_VERSION and
# the GNU folders first): lays out every file but the commands under CMAKE_INSTALL_PREFIX, below
# DESTDIR, and records the folders it makes.
#
# The editor files are written for the prefix /usr/local and the default layout; the paths they
# name are rewritten to where this install puts them. Three folders, relative to the prefix, can
# be set when installing, as the Debian package does:
#   VRELC_EDITORS_DIR  the editors folder (share/vrelc/editors): README, VS Code
#   VRELC_VIM_DIR      editors/vim (VRELC_EDITORS_DIR/vim)
#   VRELC_EMACS_DIR    editors/emacs (VRELC_EDITORS_DIR/emacs)
#   DESTDIR=stage cmake -DCMAKE_INSTALL_PREFIX=/usr -DVRELC_VIM_DIR=share/vim/vimfiles \
#     -DCMAKE_INSTALL_DO_STRIP=1 -P build/cmake_install.cmake
cmake_policy(VERSION 3.20)

# vrel_make_folder(FOLDER): FOLDER (absolute, below DESTDIR) and the missing folders above it,
# which are added to made_folders.
function(vrel_make_folder folder)
  set(missing "")
  while(NOT IS_DIRECTORY "$ENV{DESTDIR}${folder}" AND NOT folder STREQUAL "/")
    list(APPEND missing "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
  if(missing)
    list(GET missing 0 deepest)
    file(MAKE_DIRECTORY "$ENV{DESTDIR}${deepest}")
    list(APPEND made_folders ${missing})
    set(made_folders "${made_folders}" PARENT_SCOPE)
  endif()
endfunction()

# vrel_install(SOURCE FOLDER): installs the file SOURCE into FOLDER, relative to the prefix. A
# macro: file(INSTALL) adds to CMAKE_INSTALL_MANIFEST_FILES where it is called.
macro(vrel_install source folder)
  string(REGEX REPLACE "/+$" "" destination "${prefix}/${folder}")
  vrel_make_folder("${destination}")
  file(INSTALL DESTINATION "${destination}" TYPE FILE FILES "${source}")
endmacro()

# vrel_editor_folder(VAR FILE): the folder, relative to the prefix, of FILE of editors/.
function(vrel_editor_folder var file)
  get_filename_component(subfolder "${file}" DIRECTORY)
  if(subfolder MATCHES "^vim(/|$)(.*)")
    set(${var} "${VRELC_VIM_DIR}/${CMAKE_MATCH_2}" PARENT_SCOPE)
  elseif(subfolder MATCHES "^emacs(/|$)(.*)")
    set(${var} "${VRELC_EMACS_DIR}/${CMAKE_MATCH_2}" PARENT_SCOPE)
  else()
    set(${var} "${VRELC_EDITORS_DIR}/${subfolder}" PARENT_SCOPE)
  endif()
endfunction()

function(vrel_install_files)
  if(NOT DEFINED VRELC_EDITORS_DIR)
    set(VRELC_EDITORS_DIR ${VRELC_DATADIR}/vrelc/editors)
  endif()
  if(NOT DEFINED VRELC_VIM_DIR)
    set(VRELC_VIM_DIR ${VRELC_EDITORS_DIR}/vim)
  endif()
  if(NOT DEFINED VRELC_EMACS_DIR)
    set(VRELC_EMACS_DIR ${VRELC_EDITORS_DIR}/emacs)
  endif()
  string(REGEX REPLACE "/+$" "" prefix "${CMAKE_INSTALL_PREFIX}")
  set(texts "${VRELC_BINARY_DIR}/install-texts")
  # The record of the folders sits beside the manifest, and is named like it.
  if(CMAKE_INSTALL_COMPONENT)
    set(folders_record "${VRELC_BINARY_DIR}/install_folders_${CMAKE_INSTALL_COMPONENT}.txt")
  else()
    set(folders_record "${VRELC_BINARY_DIR}/install_folders.txt")
  endif()

  # The folders that installs made and that are still there: uninstall removes them once empty,
  # also after a later install that found them in place.
  set(made_folders "")
  if(EXISTS "${folders_record}")
    file(STRINGS "${folders_record}" recorded)
    foreach(folder IN LISTS recorded)
      if(IS_DIRECTORY "$ENV{DESTDIR}${folder}")
        list(APPEND made_folders "${folder}")
      endif()
    endforeach()
  endif()

  # The commands' folder, for the install(TARGETS) that follows.
  vrel_make_folder("${prefix}/${VRELC_BINDIR}")

  vrel_install("${VRELC_SOURCE_DIR}/README.md" "${VRELC_DOCDIR}")
  vrel_install("${VRELC_SOURCE_DIR}/docs/language.md" "${VRELC_DOCDIR}")
  file(GLOB_RECURSE examples RELATIVE "${VRELC_SOURCE_DIR}" "${VRELC_SOURCE_DIR}/examples/*")
  foreach(example IN LISTS examples)
    get_filename_component(subfolder "${example}" DIRECTORY)
    vrel_install("${VRELC_SOURCE_DIR}/${example}" "${VRELC_DOCDIR}/${subfolder}")
  endforeach()

  set(PROJECT_VERSION ${VRELC_VERSION})
  set(CMAKE_INSTALL_FULL_DOCDIR "${prefix}/${VRELC_DOCDIR}")
  # Each docs/NAME.N.in is the man page NAME.N, of section N.
  file(GLOB pages RELATIVE "${VRELC_SOURCE_DIR}/docs" "${VRELC_SOURCE_DIR}/docs/*.[1-9].in")
  foreach(page IN LISTS pages)
    string(REGEX REPLACE "\\.in$" "" name "${page}")
    string(REGEX REPLACE ".*\\." "" section "${name}")
    configure_file("${VRELC_SOURCE_DIR}/docs/${page}" "${texts}/${name}" @ONLY)
    vrel_install("${texts}/${name}" "${VRELC_MANDIR}/man${section}")
  endforeach()

  # Longest paths first, so that the editors folder does not take the place of its Vim folder.
  set(rewrites
      /usr/local/share/vrelc/editors/emacs "${prefix}/${VRELC_EMACS_DIR}"
      /usr/local/share/vrelc/editors/vim "${prefix}/${VRELC_VIM_DIR}"
      /usr/local/share/vrelc/editors "${prefix}/${VRELC_EDITORS_DIR}"
      /usr/local/ "${prefix}/")
  file(GLOB_RECURSE editor_files RELATIVE "${VRELC_SOURCE_DIR}/editors"
       "${VRELC_SOURCE_DIR}/editors/*")
  list(REMOVE_ITEM editor_files vscode/package.json.in)
  foreach(file IN LISTS editor_files ITEMS vscode/package.json)
    set(source "${VRELC_SOURCE_DIR}/editors/${file}")
    if(file STREQUAL "vscode/package.json")
      set(source "${VRELC_BINARY_DIR}/editors/${file}")
    endif()
    # Only a text that names a path is rewritten; any other file, an image say, is copied as it
    # is (a text read stops at its first NUL byte).
    file(STRINGS "${source}" naming REGEX "/usr/local/" LIMIT_COUNT 1)
    file(READ "${source}" text)
    file(SIZE "${source}" size)
    string(LENGTH "${text}" length)
    if(naming AND length EQUAL size)
      set(rest ${rewrites})
      while(rest)
        list(POP_FRONT rest from to)
        string(REPLACE "${from}" "${to}" text "${text}")
      endwhile()
      set(source "${texts}/editors/${file}")
      file(WRITE "${source}" "${text}")
    endif()
    vrel_editor_folder(folder "${file}")
    vrel_install("${source}" "${folder}")
  endforeach()

  list(REMOVE_DUPLICATES made_folders)
  list(JOIN made_folders "\n" record)
  file(WRITE "${folders_record}" "${record}\n")
  set(CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_MANIFEST_FILES}" PARENT_SCOPE)
endfunction()

vrel_install_files()
