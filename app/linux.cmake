# The program over Qt Widgets.
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets)
add_subdirectory(window/qt)

add_executable(zintu app/qtmain.cpp)
target_link_libraries(zintu PRIVATE zintu_qtwindow)
