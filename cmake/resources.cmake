# The data the program carries, built into `qorvella_resources` as byte arrays: the checked-in
# assets under resources/ (each made by its generator under tools/) and the skin engine library
# of this very build.

# The engine is embedded stripped: debugging sections are of no use in the written-out copy.
set(QORVELLA_SKIN_ENGINE_COPY ${CMAKE_CURRENT_BINARY_DIR}/resources/skin_engine.so)
if(CMAKE_STRIP)
  set(strip_engine ${CMAKE_STRIP} --strip-unneeded -o ${QORVELLA_SKIN_ENGINE_COPY}
    $<TARGET_FILE:qorvella_skinh>)
else()
  set(strip_engine ${CMAKE_COMMAND} -E copy $<TARGET_FILE:qorvella_skinh>
    ${QORVELLA_SKIN_ENGINE_COPY})
endif()
add_custom_command(OUTPUT ${QORVELLA_SKIN_ENGINE_COPY}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/resources
  COMMAND ${strip_engine}
  DEPENDS qorvella_skinh
  COMMENT "Preparing the skin engine image"
  VERBATIM)

set(QORVELLA_RESOURCE_SOURCES)
function(qorvella_embed name input)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/resources/${name}.cpp)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DNAME=${name}
      -P ${CMAKE_CURRENT_SOURCE_DIR}/tools/embed_resource.cmake
    DEPENDS ${input} ${CMAKE_CURRENT_SOURCE_DIR}/tools/embed_resource.cmake
    COMMENT "Embedding ${name}"
    VERBATIM)
  set(QORVELLA_RESOURCE_SOURCES ${QORVELLA_RESOURCE_SOURCES} ${output} PARENT_SCOPE)
endfunction()

set(assets ${CMAKE_CURRENT_SOURCE_DIR}/resources)
qorvella_embed(SkinEngineImage ${QORVELLA_SKIN_ENGINE_COPY})
qorvella_embed(SkinFileImage ${assets}/win8.she)
qorvella_embed(SetupFontImage ${assets}/setup.ttf)
qorvella_embed(ProgramIconImage ${assets}/qorvella.ico)
qorvella_embed(BannerPictureImage ${assets}/banner.bmp)
qorvella_embed(LogoPictureImage ${assets}/logo.gif)
qorvella_embed(FooterPictureImage ${assets}/footer.jpg)
qorvella_embed(CloudBannerPictureImage ${assets}/cloud_banner.jpg)

add_library(qorvella_resources STATIC ${QORVELLA_RESOURCE_SOURCES} resources/resources.h)
target_include_directories(qorvella_resources PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
set_target_properties(qorvella_resources PROPERTIES POSITION_INDEPENDENT_CODE ON)
qorvella_own_code(qorvella_resources)

# The assets as the program sees them: pictures decode, the font renders, the embedded engine
# loads and attaches the embedded skin.
add_executable(resources_test tests/resources/resources_test.cpp)
target_link_libraries(resources_test PRIVATE
  qorvella_resources Qt6::Widgets ${CMAKE_DL_LIBS} GTest::gtest_main)
qorvella_own_code(resources_test)
gtest_discover_tests(resources_test DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
