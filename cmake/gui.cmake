# The Qt toolkit layer, the skin engine, the program `qorvella` and its resources.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets WebEngineWidgets Test)

# The skin engine library (platform/skinh) and the resources target `qorvella_resources`
# that embeds its bytes with the other assets.
include(cmake/skinh.cmake OPTIONAL)
include(cmake/resources.cmake OPTIONAL)
# The toolkit layer, the shell and the subsystem handlers, the program and their tests.
include(cmake/app.cmake OPTIONAL)
