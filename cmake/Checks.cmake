# `make format` lays out every tracked C++ source; `make tidy` runs clang-tidy over src/ and fuzz/
# with the checks of .clang-tidy (generated sources, in the build folder, are left out).
vrel_find_llvm_program(VRELC_CLANG_FORMAT "clang-format, which lays out the sources" clang-format)
vrel_find_llvm_program(VRELC_CLANG_TIDY "clang-tidy, of make tidy" clang-tidy)
vrel_find_llvm_program(VRELC_RUN_CLANG_TIDY "run-clang-tidy, of make tidy" run-clang-tidy)

add_custom_target(format
  COMMAND sh -c "git ls-files -z '*.cpp' '*.h' | xargs -0 \"$0\" -i" ${VRELC_CLANG_FORMAT}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} VERBATIM)
add_custom_target(tidy
  COMMAND ${VRELC_RUN_CLANG_TIDY} -quiet -clang-tidy-binary ${VRELC_CLANG_TIDY}
          -p ${PROJECT_BINARY_DIR} "-header-filter=^${PROJECT_SOURCE_DIR}/(src|fuzz)/"
          "^${PROJECT_SOURCE_DIR}/(src|fuzz)/.*\\.cpp$"
  VERBATIM)
