# The toolkit layer, the shell and the subsystem handlers, the program `qorvella` and the
# tests of the windows and of the program's process.

# The GUI operations that the handlers use, implemented on Qt 6 Widgets and Qt WebEngine.
file(GLOB QORVELLA_TOOLKIT_SOURCES CONFIGURE_DEPENDS
  platform/toolkit/*.cpp platform/toolkit/qt/*.cpp)
add_library(qorvella_toolkit STATIC ${QORVELLA_TOOLKIT_SOURCES})
target_include_directories(qorvella_toolkit PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(qorvella_toolkit
  PUBLIC qorvella_core qorvella_resources
  PRIVATE Qt6::Widgets Qt6::WebEngineWidgets)
qorvella_own_code(qorvella_toolkit)

# The program's own handlers and designs; no Qt here.
file(GLOB QORVELLA_APP_SOURCES CONFIGURE_DEPENDS
  shell/*.cpp catalogue/*.cpp filmpage/*.cpp cloudplay/*.cpp)
list(REMOVE_ITEM QORVELLA_APP_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/shell/main.cpp)
add_library(qorvella_app STATIC ${QORVELLA_APP_SOURCES})
target_include_directories(qorvella_app PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(qorvella_app PUBLIC
  QORVELLA_AD_SERVER="${QORVELLA_AD_SERVER}"
  QORVELLA_CATALOGUE_SITE="${QORVELLA_CATALOGUE_SITE}"
  QORVELLA_PLAYER_SITE="${QORVELLA_PLAYER_SITE}"
  QORVELLA_SHARE_SITE="${QORVELLA_SHARE_SITE}")
target_link_libraries(qorvella_app PUBLIC qorvella_toolkit qorvella_resources qorvella_core)
qorvella_own_code(qorvella_app)
# The designs are written with designated initializers, which leave every member not named at
# its default; GCC 12 still reports those members as missing.
target_compile_options(qorvella_app PRIVATE -Wno-missing-field-initializers)

add_executable(qorvella shell/main.cpp)
target_link_libraries(qorvella PRIVATE qorvella_app)
qorvella_own_code(qorvella)

# ---- tests: GUI tests run on Qt's offscreen platform ----
find_package(GTest REQUIRED)
include(GoogleTest)

add_library(qorvella_gui_test_main STATIC tests/platform/toolkit/gui_test_main.cpp)
target_link_libraries(qorvella_gui_test_main PUBLIC
  qorvella_toolkit Qt6::Widgets Qt6::WebEngineWidgets Qt6::Test GTest::gtest GTest::gmock)
qorvella_own_code(qorvella_gui_test_main)

function(qorvella_gui_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE qorvella_app qorvella_gui_test_main)
  qorvella_own_code(${name})
  target_compile_options(${name} PRIVATE -Wno-missing-field-initializers)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

qorvella_gui_test(toolkit_test tests/platform/toolkit/toolkit_test.cpp)
qorvella_gui_test(windows_test tests/shell/windows_test.cpp)
qorvella_gui_test(busy_indicator_test tests/shell/busy_indicator_test.cpp)

# The program's process: started as it is installed, with its drive folder in a temporary place.
qorvella_gui_test(program_test tests/shell/program_test.cpp)
add_dependencies(program_test qorvella)
target_compile_definitions(program_test PRIVATE QORVELLA_PROGRAM="$<TARGET_FILE:qorvella>")

