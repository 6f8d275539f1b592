# A small compilation is mostly the start of the process, and a static vrelc loads no shared
# libraries. It is linked statically where the static C and C++ libraries are installed, and with
# the shared ones elsewhere; sanitizers (these options' or any in CMAKE_CXX_FLAGS) need their
# shared runtimes. The configure output says which.
option(VRELC_STATIC "Link vrelc statically where the static libraries exist" ON)
set(static OFF)
if(NOT VRELC_STATIC)
  set(reason "VRELC_STATIC is OFF")
elseif(VRELC_SANITIZE OR VRELC_FUZZ OR CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  set(reason "the sanitizers need their shared runtimes")
else()
  include(CheckCXXSourceCompiles)
  set(CMAKE_REQUIRED_LINK_OPTIONS -static)
  check_cxx_source_compiles([[
#include <string>
#include <thread>
int main() {
  std::string text("static");
  std::thread thread([&text] { text += " link"; });
  thread.join();
  return text.size() == 11 ? 0 : 1;
}
]] VRELC_HAVE_STATIC_LIBRARIES)
  unset(CMAKE_REQUIRED_LINK_OPTIONS)
  set(static ${VRELC_HAVE_STATIC_LIBRARIES})
  set(reason "the static C and C++ libraries are missing")
endif()
if(static)
  target_link_options(vrelc PRIVATE -static)
  message(STATUS "vrelc is linked statically")
else()
  message(STATUS "vrelc is linked with shared libraries: ${reason}")
endif()
