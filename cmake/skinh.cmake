# The skin engine: a shared library of its own, loaded by the program at run time from the
# copy it writes out. Its file name is never the one the program loads by, so that a start
# from the build tree really writes and loads the embedded copy.

add_library(qorvella_skinh SHARED
  platform/skinh/skinh.cpp
  platform/skinh/skin_file.cpp)
target_include_directories(qorvella_skinh PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(qorvella_skinh PRIVATE Qt6::Widgets)
# Only SkinH_AttachEx is exported; the copy on disk has another file name, so no soname.
set_target_properties(qorvella_skinh PROPERTIES
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON
  NO_SONAME ON)
qorvella_own_code(qorvella_skinh)

find_package(GTest REQUIRED)
include(GoogleTest)

# The engine's tests call the library itself and compile the file format code in directly.
add_executable(skinh_test tests/skinh/skinh_test.cpp platform/skinh/skin_file.cpp)
target_include_directories(skinh_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(skinh_test PRIVATE qorvella_skinh Qt6::Widgets GTest::gtest_main)
target_compile_definitions(skinh_test PRIVATE
  QORVELLA_SKIN_FILE="${CMAKE_CURRENT_SOURCE_DIR}/resources/win8.she"
  QORVELLA_SKIN_SHEET="${CMAKE_CURRENT_SOURCE_DIR}/resources/skin/win8.qss")
qorvella_own_code(skinh_test)
gtest_discover_tests(skinh_test DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
