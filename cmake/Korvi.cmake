# korvi_library(NAME SOURCES ... [DEPS ...]): one static library per folder of src/.
function(korvi_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# korvi_gtest(NAME SOURCES ... [DEPS ...] [APART CASES LABEL]): a GoogleTest
# suite for widget-free logic. APART runs the cases matching the GoogleTest
# filter CASES as a test of their own, NAME_LABEL, which `ctest -L LABEL` picks.
function(korvi_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;APART" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(ARG_APART)
    list(GET ARG_APART 0 cases)
    list(GET ARG_APART 1 label)
    add_test(NAME ${name} COMMAND ${name} --gtest_filter=-${cases})
    add_test(NAME ${name}_${label} COMMAND ${name} --gtest_filter=${cases})
    set_tests_properties(${name}_${label} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS ${label})
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# korvi_qtest(NAME SOURCES ... [DEPS ...] [WRAPPER COMMAND ...]): a QtTest
# suite driving real widgets off screen, run by WRAPPER when given (a
# command that runs the suite given as its last arguments).
function(korvi_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;WRAPPER" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${ARG_WRAPPER} $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
