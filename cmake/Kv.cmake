# Shared settings and helpers for every area of the project.

if(WIN32)
  set(KV_WINDOWS TRUE)
else()
  set(KV_WINDOWS FALSE)
endif()

# Rebuilds after small changes and builds in other work trees reuse objects.
find_program(KV_CCACHE ccache)
if(KV_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER ${KV_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${KV_CCACHE})
endif()

add_compile_options(-Wall -Wextra)
if(KV_WINDOWS)
  # Narrow literals become GBK bytes: the program speaks code page 936.
  add_compile_options(-finput-charset=UTF-8
                      $<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=GBK>)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601
                          _CRT_SECURE_NO_WARNINGS)
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
include_directories(${KV_ROOT})

# kv_program_sources(file...): adds Windows sources to the program library.
function(kv_program_sources)
  foreach(f ${ARGN})
    get_filename_component(abs ${f} ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY KV_PROGRAM_SOURCES ${abs})
  endforeach()
endfunction()

# kv_program_libraries(lib...): libraries the program library links.
function(kv_program_libraries)
  set_property(GLOBAL APPEND PROPERTY KV_PROGRAM_LIBS ${ARGN})
endfunction()

function(kv_finish_program_library)
  get_property(srcs GLOBAL PROPERTY KV_PROGRAM_SOURCES)
  get_property(libs GLOBAL PROPERTY KV_PROGRAM_LIBS)
  if(NOT srcs)
    return()
  endif()
  add_library(kvprogram STATIC ${srcs})
  target_link_libraries(kvprogram PUBLIC ${libs}
    comctl32 comdlg32 shell32 ole32 oleaut32 uuid shlwapi gdi32 user32 winmm advapi32 msimg32
    windowscodecs gdiplus)
endfunction()

# kv_add_test(name [WINDOWS|NATIVE|BOTH] SOURCES files... LIBS libs...)
# Windows tests are cross-built GoogleTest programs that ctest runs through Wine.
function(kv_add_test name)
  cmake_parse_arguments(T "WINDOWS;NATIVE;BOTH" "" "SOURCES;LIBS" ${ARGN})
  if(T_WINDOWS AND NOT KV_WINDOWS)
    return()
  endif()
  if(T_NATIVE AND KV_WINDOWS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gmock gtest_main)
  if(KV_WINDOWS)
    # One ctest entry per program: every Wine start costs time.
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  else()
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# kv_ship_stripped(target): the program folder gets the executable without
# symbols; its debug information stays in the build tree as <target>.debug,
# linked from the executable so a debugger finds it.
function(kv_ship_stripped target)
  set(dbg ${CMAKE_CURRENT_BINARY_DIR}/${target}.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${dbg}
    COMMAND ${CMAKE_STRIP} --strip-all $<TARGET_FILE:${target}>
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${dbg} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
