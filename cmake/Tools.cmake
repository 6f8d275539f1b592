# The LLVM programs the tests and checks use (lit, FileCheck, clang, clang-tidy, clang-format),
# found among the versions Debian offers, newest first. Each is a cache variable, so that
# `-DVRELC_FILECHECK=/path/to/FileCheck` names another.
set(VRELC_LLVM_VERSIONS 22 21 20 19 18 17 16 15 14 13)

# vrel_find_llvm_program(VAR DOC NAME... [IN SUBDIR]): NAME-N on PATH for each version N, newest
# first, then NAME in /usr/lib/llvm-N/SUBDIR (bin by default), newest first, then NAME on PATH.
# A NAME with a dot (lit.py) has no versioned form.
function(vrel_find_llvm_program var doc)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "IN" "")
  if(NOT arg_IN)
    set(arg_IN bin)
  endif()
  set(versioned "")
  set(hints "")
  foreach(version IN LISTS VRELC_LLVM_VERSIONS)
    foreach(name IN LISTS arg_UNPARSED_ARGUMENTS)
      if(NOT name MATCHES "\\.")
        list(APPEND versioned ${name}-${version})
      endif()
    endforeach()
    list(APPEND hints /usr/lib/llvm-${version}/${arg_IN})
  endforeach()
  # find_program looks for each name everywhere before it tries the next, hints before PATH.
  find_program(${var} NAMES ${versioned} ${arg_UNPARSED_ARGUMENTS} HINTS ${hints} DOC "${doc}")
endfunction()
