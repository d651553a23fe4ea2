# Shared compile settings for every target of the project.

add_library(drq_options INTERFACE)
target_compile_options(drq_options INTERFACE -Wall -Wextra -Wshadow -Wconversion -Wsign-conversion)
target_compile_definitions(drq_options INTERFACE $<$<CONFIG:Debug>:DRQ_DEBUG>
                                                   DRQ_VERSION="${PROJECT_VERSION}")
if(DRQ_SANITIZE)
  target_compile_options(drq_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                               -fno-sanitize-recover=undefined)
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
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${arg_LIBS})
  endif()
endfunction()
