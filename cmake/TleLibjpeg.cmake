# libjpeg for the image library, as the imported target tle::jpeg.
# Host: Debian's libjpeg-turbo development package. Windows: libjpeg-turbo built once with
# this build's mingw toolchain from Debian's own source package, kept in the build tree
# (third_party/libjpeg-turbo) and linked statically. Its source never enters the repository.
if(TARGET tle::jpeg)
  return()
endif()

if(NOT TLE_WINDOWS)
  find_package(JPEG REQUIRED GLOBAL)
  add_library(tle::jpeg ALIAS JPEG::JPEG)
  return()
endif()

set(_jpeg_root ${CMAKE_BINARY_DIR}/third_party/libjpeg-turbo)
set(_jpeg_prefix ${_jpeg_root}/install)
set(_jpeg_library ${_jpeg_prefix}/lib/libjpeg.a)

if(NOT EXISTS ${_jpeg_library})
  file(MAKE_DIRECTORY ${_jpeg_root}/download)
  file(GLOB _jpeg_tarball ${_jpeg_root}/download/libjpeg-turbo_*.orig.tar.gz)
  if(NOT _jpeg_tarball)
    message(STATUS "libjpeg-turbo: fetching Debian's source package")
    execute_process(COMMAND apt-get source --download-only libjpeg-turbo
                    WORKING_DIRECTORY ${_jpeg_root}/download
                    RESULT_VARIABLE _jpeg_result OUTPUT_QUIET ERROR_VARIABLE _jpeg_error)
    file(GLOB _jpeg_tarball ${_jpeg_root}/download/libjpeg-turbo_*.orig.tar.gz)
    if(NOT _jpeg_tarball)
      message(FATAL_ERROR "apt-get source libjpeg-turbo failed (run tools/setup.sh for the deb-src entry):\n${_jpeg_error}")
    endif()
  endif()
  list(GET _jpeg_tarball 0 _jpeg_tarball)
  file(REMOVE_RECURSE ${_jpeg_root}/src ${_jpeg_root}/build)
  file(ARCHIVE_EXTRACT INPUT ${_jpeg_tarball} DESTINATION ${_jpeg_root}/src)
  file(GLOB _jpeg_source_dir LIST_DIRECTORIES true ${_jpeg_root}/src/libjpeg-turbo*)
  message(STATUS "libjpeg-turbo: building ${_jpeg_source_dir} for ${CMAKE_SYSTEM_PROCESSOR}")
  # The static library with the version 8 interface (jpeg_mem_src); no SIMD (it needs nasm).
  # The install prefix must be absolute: the default is a c:/ path that breaks the config step.
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${_jpeg_source_dir} -B ${_jpeg_root}/build -G Ninja
            -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
            -DCMAKE_INSTALL_PREFIX=${_jpeg_prefix} -DENABLE_SHARED=OFF -DENABLE_STATIC=ON
            -DWITH_SIMD=OFF -DWITH_JPEG8=ON -DWITH_TURBOJPEG=OFF
    RESULT_VARIABLE _jpeg_result OUTPUT_QUIET ERROR_VARIABLE _jpeg_error)
  if(_jpeg_result EQUAL 0)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${_jpeg_root}/build --target install -j2
                    RESULT_VARIABLE _jpeg_result OUTPUT_QUIET ERROR_VARIABLE _jpeg_error)
  endif()
  if(NOT _jpeg_result EQUAL 0 OR NOT EXISTS ${_jpeg_library})
    message(FATAL_ERROR "libjpeg-turbo build for Windows failed:\n${_jpeg_error}")
  endif()
endif()

add_library(tle::jpeg STATIC IMPORTED GLOBAL)
set_target_properties(tle::jpeg PROPERTIES
  IMPORTED_LOCATION ${_jpeg_library}
  INTERFACE_INCLUDE_DIRECTORIES ${_jpeg_prefix}/include)
