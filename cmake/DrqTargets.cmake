# Shared compile settings for every target of the project.

add_library(drq_options INTERFACE)
target_compile_options(drq_options INTERFACE -Wall -Wextra -Wshadow -Wconversion -Wsign-conversion)
if(DRQ_WERROR)
  target_compile_options(drq_options INTERFACE -Werror)
endif()
target_compile_definitions(drq_options INTERFACE $<$<CONFIG:Debug>:DRQ_DEBUG>
                                                   DRQ_VERSION="${PROJECT_VERSION}")
if(DRQ_SANITIZE)
  target_compile_options(drq_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                               -fno-sanitize-recover=undefined)
  target_link_options(drq_options INTERFACE -fsanitize=address,undefined)
  # g++ 12 sees uninitialised members inside libstdc++'s std::function and
  # std::regex once the sanitizers' checks are inlined: false alarms of this
  # build only (the Release build keeps the warning).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(drq_options INTERFACE -Wno-maybe-uninitialized)
  endif()
endif()
if(DRQ_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "DRQ_FUZZ needs clang (libFuzzer): configure with the fuzz preset")
  endif()
  # Every library gets the fuzzer's coverage instrumentation; the fuzz targets
  # link the fuzzer's main (fuzz/CMakeLists.txt). Undefined behaviour aborts,
  # so that the fuzzer counts it as a crash.
  target_compile_options(drq_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                               -fno-sanitize-recover=undefined
                                               -fno-omit-frame-pointer
                                               -fsanitize-coverage-ignorelist=${CMAKE_SOURCE_DIR}/fuzz/coverage-ignore.txt)
  target_link_options(drq_options INTERFACE -fsanitize=address,undefined)
endif()

# drq_sources(<var> <dir>): every .cpp/.h below <dir>. New files are picked up
# at the next build without editing CMake.
function(drq_sources var dir)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  set(${var} ${found} PARENT_SCOPE)
endfunction()

# drq_library(<name> <dir> [EXCLUDE <regex>] LIBS <libs...>): a static library of
# every source below <dir>; while a folder holds no source yet, an interface
# library of the same name stands in so that dependents link unchanged.
function(drq_library name dir)
  cmake_parse_arguments(arg "" "EXCLUDE" "LIBS" ${ARGN})
  drq_sources(found ${dir})
  if(arg_EXCLUDE)
    list(FILTER found EXCLUDE REGEX "${arg_EXCLUDE}")
  endif()
  set(cpp_found ${found})
  list(FILTER cpp_found INCLUDE REGEX "\\.cpp$")
  if(cpp_found)
    add_library(${name} STATIC ${found})
    target_link_libraries(${name} PUBLIC ${arg_LIBS})
    if(NOT DRQ_FUZZ AND NOT DRQ_CORE_ONLY)  # neither the fuzz nor the core-only build has Qt
      set_target_properties(${name} PROPERTIES AUTOMOC ON)
    endif()
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${arg_LIBS})
  endif()
endfunction()
