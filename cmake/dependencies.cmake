# Third-party libraries. The host build uses Debian's packages; the Windows builds compile
# libbzip2, Boost.Filesystem and the Boost.Iostreams bzip2 filter from Debian's source packages
# (unpacked into .deps/ by scripts/setup) and GoogleTest from /usr/src/googletest.

set(OSTREL_DEPS_DIR "${PROJECT_SOURCE_DIR}/.deps" CACHE PATH "Unpacked source packages")

if(NOT WIN32)
  find_package(BZip2 REQUIRED)
  find_package(Boost 1.74 EXACT REQUIRED COMPONENTS filesystem iostreams)
  find_package(GTest REQUIRED)
  add_library(ostrel_boost_headers INTERFACE)
  target_link_libraries(ostrel_boost_headers INTERFACE Boost::headers)
  add_library(ostrel_bzip2 INTERFACE)
  target_link_libraries(ostrel_bzip2 INTERFACE BZip2::BZip2)
  add_library(ostrel_boost_filesystem INTERFACE)
  target_link_libraries(ostrel_boost_filesystem INTERFACE Boost::filesystem)
  add_library(ostrel_boost_iostreams INTERFACE)
  target_link_libraries(ostrel_boost_iostreams INTERFACE Boost::iostreams)
  add_library(ostrel_gtest INTERFACE)
  target_link_libraries(ostrel_gtest INTERFACE GTest::gtest GTest::gmock)
  return()
endif()

set(bzip2_dir "${OSTREL_DEPS_DIR}/bzip2")
set(boost_src_dir "${OSTREL_DEPS_DIR}/boost")
foreach(required "${bzip2_dir}/bzlib.c" "${boost_src_dir}/libs/filesystem/src/operations.cpp"
                 "${boost_src_dir}/libs/iostreams/src/bzip2.cpp")
  if(NOT EXISTS "${required}")
    message(FATAL_ERROR "${required} is missing: run scripts/setup first")
  endif()
endforeach()

# The Boost 1.74 headers of libboost1.74-dev, reached through a folder that holds only a
# link to them: the host's /usr/include must never be on a cross compiler's path.
set(boost_include_dir "${PROJECT_BINARY_DIR}/boost-include")
if(NOT EXISTS "${boost_include_dir}/boost/version.hpp")
  file(MAKE_DIRECTORY "${boost_include_dir}")
  file(CREATE_LINK /usr/include/boost "${boost_include_dir}/boost" SYMBOLIC)
endif()
file(STRINGS "${boost_include_dir}/boost/version.hpp" boost_version_line REGEX "^#define BOOST_VERSION ")
if(NOT boost_version_line MATCHES " 107400$")
  message(FATAL_ERROR "Boost headers are not 1.74: ${boost_version_line}")
endif()

add_library(ostrel_boost_headers INTERFACE)
target_include_directories(ostrel_boost_headers SYSTEM INTERFACE "${boost_include_dir}")
target_compile_definitions(ostrel_boost_headers INTERFACE BOOST_ALL_NO_LIB NOMINMAX)

add_library(ostrel_bzip2 STATIC
  "${bzip2_dir}/blocksort.c" "${bzip2_dir}/huffman.c" "${bzip2_dir}/crctable.c"
  "${bzip2_dir}/randtable.c" "${bzip2_dir}/compress.c" "${bzip2_dir}/decompress.c"
  "${bzip2_dir}/bzlib.c")
target_include_directories(ostrel_bzip2 SYSTEM PUBLIC "${bzip2_dir}")
target_compile_options(ostrel_bzip2 PRIVATE -w)

file(GLOB boost_filesystem_sources CONFIGURE_DEPENDS "${boost_src_dir}/libs/filesystem/src/*.cpp")
add_library(ostrel_boost_filesystem STATIC ${boost_filesystem_sources})
target_link_libraries(ostrel_boost_filesystem PUBLIC ostrel_boost_headers)
target_compile_definitions(ostrel_boost_filesystem PUBLIC BOOST_FILESYSTEM_STATIC_LINK=1)
target_compile_options(ostrel_boost_filesystem PRIVATE -w)
target_link_libraries(ostrel_boost_filesystem PUBLIC advapi32 bcrypt)

add_library(ostrel_boost_iostreams STATIC "${boost_src_dir}/libs/iostreams/src/bzip2.cpp")
target_link_libraries(ostrel_boost_iostreams PUBLIC ostrel_boost_headers ostrel_bzip2)
target_compile_definitions(ostrel_boost_iostreams PUBLIC BOOST_IOSTREAMS_STATIC_LINK=1)
target_compile_options(ostrel_boost_iostreams PRIVATE -w)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest "${PROJECT_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
add_library(ostrel_gtest INTERFACE)
target_link_libraries(ostrel_gtest INTERFACE gtest gmock)
