# Unit tests of the text classifier of the identification library. The
# classifier is a pure function of the file's first bytes, so its source is
# compiled straight into the test binary, without libmagic or the engine.
# Included from tests/CMakeLists.txt after find_package(GTest).
include(GoogleTest)

add_executable(text_classifier_tests
  ${CMAKE_CURRENT_LIST_DIR}/unit/text_classifier_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/text_model_test.cc
  ${PROJECT_SOURCE_DIR}/lib/ident/text/c_family.cc
  ${PROJECT_SOURCE_DIR}/lib/ident/text/json_scanner.cc
  ${PROJECT_SOURCE_DIR}/lib/ident/text/language_grammar.cc
  ${PROJECT_SOURCE_DIR}/lib/ident/text/language_rules.cc
  ${PROJECT_SOURCE_DIR}/lib/ident/text/language_scores.cc
  ${PROJECT_SOURCE_DIR}/lib/ident/text/text_classifier.cc
  ${PROJECT_SOURCE_DIR}/lib/ident/text/text_formats.cc
  ${PROJECT_SOURCE_DIR}/lib/ident/text/text_lines.cc
  ${PROJECT_SOURCE_DIR}/lib/ident/text/text_model.cc
)
target_include_directories(text_classifier_tests PRIVATE ${PROJECT_SOURCE_DIR}/lib/ident/text)
target_compile_definitions(text_classifier_tests PRIVATE
  TRUEEXT_TEXT_MODEL="${PROJECT_SOURCE_DIR}/lib/ident/text/trueext-text.model")
target_link_libraries(text_classifier_tests PRIVATE GTest::gtest_main standard_warnings)
gtest_discover_tests(text_classifier_tests)
