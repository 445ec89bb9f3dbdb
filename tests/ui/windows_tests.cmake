# Qt Test cases of the small windows (picker, searching, progress, help, About, launcher).
# Included by tests/ui/CMakeLists.txt; each case runs on the offscreen platform.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

function(quorvel_add_window_test name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE quorvel_ui quorvel_core quorvel_test_support
                        Qt6::Widgets Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

quorvel_add_window_test(directory_picker_test ${CMAKE_CURRENT_LIST_DIR}/directory_picker_test.cpp)
quorvel_add_window_test(progress_window_test ${CMAKE_CURRENT_LIST_DIR}/progress_window_test.cpp)
quorvel_add_window_test(help_topics_test ${CMAKE_CURRENT_LIST_DIR}/help_topics_test.cpp)
quorvel_add_window_test(desktop_shortcut_test ${CMAKE_CURRENT_LIST_DIR}/desktop_shortcut_test.cpp)
quorvel_add_window_test(about_box_test ${CMAKE_CURRENT_LIST_DIR}/about_box_test.cpp)
