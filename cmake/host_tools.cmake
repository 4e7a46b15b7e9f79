# The Windows builds run host tools (the packer) during the build. They come from a host build of
# this same project in <build>/host-tools, made with the host's compiler and libraries, which
# builds only the tools.
include(ExternalProject)

set(OSTREL_HOST_TOOLS_DIR "${PROJECT_BINARY_DIR}/host-tools")
set(OSTREL_PACKER "${OSTREL_HOST_TOOLS_DIR}/tools/packer/ostrel_packer")

ExternalProject_Add(ostrel_host_tools
  SOURCE_DIR "${PROJECT_SOURCE_DIR}"
  BINARY_DIR "${OSTREL_HOST_TOOLS_DIR}"
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DOSTREL_HOST_TOOLS_ONLY=ON
  BUILD_COMMAND "${CMAKE_COMMAND}" --build "${OSTREL_HOST_TOOLS_DIR}" --target ostrel_packer
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS "${OSTREL_PACKER}")
