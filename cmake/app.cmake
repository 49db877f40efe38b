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

# qorvella_gui_test(name [SITE_PORT] sources...): SITE_PORT marks tests that serve the
# configured site address (port 8631 of the sample site) themselves; they run one at a time.
function(qorvella_gui_test name)
  set(lock "")
  set(sources ${ARGN})
  if(ARGV1 STREQUAL "SITE_PORT")
    set(lock RESOURCE_LOCK site_port)
    list(REMOVE_AT sources 0)
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE qorvella_app qorvella_gui_test_main)
  qorvella_own_code(${name})
  target_compile_options(${name} PRIVATE -Wno-missing-field-initializers)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300 ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${lock})
endfunction()

qorvella_gui_test(toolkit_test tests/platform/toolkit/toolkit_test.cpp)
qorvella_gui_test(windows_test tests/shell/windows_test.cpp)
qorvella_gui_test(busy_indicator_test tests/shell/busy_indicator_test.cpp)

# The program's process: started as a user starts it, with its drive folder in a temporary place.
add_executable(program_test tests/shell/program_test.cpp)
target_link_libraries(program_test PRIVATE qorvella_resources GTest::gtest_main)
target_compile_definitions(program_test PRIVATE QORVELLA_PROGRAM="$<TARGET_FILE:qorvella>")
add_dependencies(program_test qorvella)
qorvella_own_code(program_test)
gtest_discover_tests(program_test DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 300 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")


# The category loader against a scripted site on the catalogue site's own port.
qorvella_gui_test(catalogue_test SITE_PORT tests/catalogue/catalogue_test.cpp)
target_link_libraries(catalogue_test PRIVATE qorvella_test_support)

# The windows against the bundled sample site's server on the configured port.
qorvella_gui_test(sample_site_e2e_test SITE_PORT tests/e2e/sample_site_e2e_test.cpp)
target_compile_definitions(sample_site_e2e_test PRIVATE
  QORVELLA_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}" QORVELLA_PLAYER_SITE="${QORVELLA_PLAYER_SITE}")

# The category load in the real window against the sample site, as ratios in one run.
if(QORVELLA_BENCHMARKS)
  add_executable(catalogue_bench bench/catalogue/catalogue_bench.cpp)
  target_link_libraries(catalogue_bench PRIVATE qorvella_app CURL::libcurl Qt6::Widgets)
  target_compile_definitions(catalogue_bench PRIVATE QORVELLA_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  set_target_properties(catalogue_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  qorvella_own_code(catalogue_bench)
endif()

# The real program under Xvfb, closed by the user while a category load waits for a page.
add_test(NAME close_during_load
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/close_during_load_test.sh
          $<TARGET_FILE:qorvella> ${CMAKE_CURRENT_SOURCE_DIR})
set_tests_properties(close_during_load PROPERTIES TIMEOUT 60 RESOURCE_LOCK site_port)

# The program's start-up, CPU and memory against a minimal Qt WebEngine window with two views:
# bench/shell_bench in the build folder, which bench/run.sh picks up.
if(QORVELLA_BENCHMARKS)
  add_executable(minimal_webengine_window bench/shell/minimal_window.cpp)
  target_link_libraries(minimal_webengine_window PRIVATE Qt6::Widgets Qt6::WebEngineWidgets)
  set_target_properties(minimal_webengine_window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  qorvella_own_code(minimal_webengine_window)
  set(QORVELLA_PROGRAM ${CMAKE_BINARY_DIR}/qorvella)
  set(QORVELLA_BASELINE ${CMAKE_BINARY_DIR}/bench/minimal_webengine_window)
  set(QORVELLA_SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  configure_file(bench/shell/shell_bench.py ${CMAKE_BINARY_DIR}/bench/shell_bench @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
