# Unit tests of the identification library's engine (lib/ident): libmagic,
# the shared MIME database and the worker process are the real ones.
# Included from tests/CMakeLists.txt after find_package(GTest).
include(GoogleTest)

add_executable(ident_unit_tests
  ${CMAKE_CURRENT_LIST_DIR}/unit/ident_analysis_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/ident_compound_document_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/ident_container_readers_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/ident_engine_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/ident_extension_map_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/ident_named_extension_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/ident_office_documents_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/ident_fixed_rules_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/ident_format_samples_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/ident_session_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/ident_stl_model_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/ident_worker_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unit/ident_zip_container_test.cc
)
target_include_directories(ident_unit_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/unit)
target_link_libraries(ident_unit_tests PRIVATE
  ident_engine ident_fixed_rules ident_libmagic GTest::gtest_main ${CMAKE_DL_LIBS} standard_warnings)
add_dependencies(ident_unit_tests trueext-ident)
target_compile_definitions(ident_unit_tests PRIVATE
  # The pack as the build places it, beside the library.
  IDENT_BUILD_DIR="${CMAKE_BINARY_DIR}/"
  # Real encoded files, one per format.
  IDENT_SAMPLES_DIR="${CMAKE_CURRENT_LIST_DIR}/data/formats"
  IDENT_LIBRARY="$<TARGET_FILE:trueext-ident>")
gtest_discover_tests(ident_unit_tests DISCOVERY_TIMEOUT 30)
