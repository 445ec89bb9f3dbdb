# Qt Test cases of the main window.
quorvel_add_window_test(main_window_test ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp)
