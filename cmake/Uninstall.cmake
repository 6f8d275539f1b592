# [DESTDIR=STAGE] cmake -DMANIFEST=FILE -DFOLDERS=FILE -P Uninstall.cmake
# Removes every file the install listed in MANIFEST (below DESTDIR, as the install put them),
# then the folders of FOLDERS, which installs made, once they are empty; a folder that was there
# before the first install is never listed there, and stays.
cmake_policy(VERSION 3.20)
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "Nothing to uninstall: ${MANIFEST} does not exist (run make install first)")
endif()
file(STRINGS "${MANIFEST}" installed)
foreach(listed IN LISTS installed)
  set(path "$ENV{DESTDIR}${listed}")
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    file(REMOVE "${path}")
    message(STATUS "Removed ${path}")
  endif()
endforeach()

set(folders "")
if(EXISTS "${FOLDERS}")
  file(STRINGS "${FOLDERS}" folders)
endif()
# Deepest folders first, so that a parent is empty by the time it is reached.
list(SORT folders ORDER DESCENDING)
foreach(listed IN LISTS folders)
  set(folder "$ENV{DESTDIR}${listed}")
  file(GLOB entries "${folder}/*" "${folder}/.*")
  if(listed MATCHES "^/." AND IS_DIRECTORY "${folder}" AND NOT IS_SYMLINK "${folder}"
     AND NOT entries)
    file(REMOVE_RECURSE "${folder}")
    message(STATUS "Removed ${folder}/")
  endif()
endforeach()
file(REMOVE "${MANIFEST}" "${FOLDERS}")
