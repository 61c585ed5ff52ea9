# Warnings for our own code only; third-party headers come in as SYSTEM.
add_library(telvanta_warnings INTERFACE)
target_compile_options(telvanta_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(TELVANTA_WERROR)
  target_compile_options(telvanta_warnings INTERFACE -Werror)
endif()
# GCC 12 at -O3 (a Release build) sees an overlapping copy inside
# libstdc++'s own `"text" + std::string`, a false alarm of that compiler.
# The idiom is in every folder, so the warning is off for GCC 12 alone.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(telvanta_warnings INTERFACE -Wno-restrict)
endif()
target_compile_definitions(telvanta_warnings INTERFACE
  GTKMM_DISABLE_DEPRECATED GDKMM_DISABLE_DEPRECATED GLIBMM_DISABLE_DEPRECATED
  GIOMM_DISABLE_DEPRECATED GTK_DISABLE_DEPRECATED GDK_DISABLE_DEPRECATED)

if(TELVANTA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(TELVANTA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TELVANTA_FUZZ needs clang (CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# A static library of one subsystem folder, with our warnings.
function(telvanta_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
  target_link_libraries(${name} PUBLIC ${ARG_LIBS} PRIVATE telvanta_warnings)
endfunction()
