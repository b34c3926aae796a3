# vizmora_add_test(<name> LABEL unit|integration|gui [QT_MAIN|GUI_MAIN|CORE_MAIN] SOURCES ... LIBS ...
#                  [TIMEOUT s] [RUNS_VAR var])
# One test executable, registered with ctest under its label; with RUNS_VAR it is only built, and
# var names the environment its runs need, for the caller to register them itself. QT_MAIN gives it a main that
# creates a QApplication before the tests run, GUI_MAIN one that creates a QGuiApplication and
# CORE_MAIN one that creates a QCoreApplication (with either, the program links no widgets);
# otherwise GoogleTest's own main is used. Unit tests are also collected in the target
# `unit_tests`, which the sanitizer build builds alone.
if(NOT TARGET unit_tests)
  add_custom_target(unit_tests)
endif()

function(vizmora_add_test name)
  cmake_parse_arguments(T "QT_MAIN;GUI_MAIN;CORE_MAIN" "LABEL;TIMEOUT;RUNS_VAR" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    message(FATAL_ERROR "vizmora_add_test(${name}): LABEL is required")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(T_QT_MAIN)
    add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    target_compile_definitions(${name} PRIVATE VIZMORA_TEST_WIDGETS)
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest Qt6::Widgets Qt6::Test)
  elseif(T_GUI_MAIN)
    add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    target_compile_definitions(${name} PRIVATE VIZMORA_TEST_GUI)
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest Qt6::Gui)
  elseif(T_CORE_MAIN)
    add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest Qt6::Core)
  else()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  set(environment "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1;QT_QPA_FONTDIR=/usr/share/fonts/truetype/dejavu")
  if(T_RUNS_VAR)
    set(${T_RUNS_VAR} "${environment}" PARENT_SCOPE)
    return()
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${environment}")
  if(T_LABEL STREQUAL "unit")
    add_dependencies(unit_tests ${name})
  endif()
endfunction()

# Adds every immediate subfolder of the current source folder that has a CMakeLists.txt,
# so each area keeps its tests in a folder of its own.
function(vizmora_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
