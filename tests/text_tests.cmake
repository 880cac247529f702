# Unit tests of the text classifier of the identification library. The
# classifier is a pure function of the file's first bytes, so the tests
# build it without libmagic or the engine; beside it the reader of the
# kinds' definitions.
# Included from tests/CMakeLists.txt after find_package(GTest).
include(GoogleTest)

add_executable(text_classifier_tests
  ${CMAKE_CURRENT_LIST_DIR}/unit/text_classifier_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/text_model_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/text_kind_definitions_test.cc
)
target_compile_definitions(text_classifier_tests PRIVATE
  TRUEEXT_TEXT_MODEL="${PROJECT_SOURCE_DIR}/lib/ident/text/trueext-text.model")
target_link_libraries(text_classifier_tests PRIVATE
  ident_text ident_kind_definitions GTest::gtest_main standard_warnings)
gtest_discover_tests(text_classifier_tests)
