# Qt Test cases of the property dialogs and the colour box.
quorvel_add_window_test(property_dialogs_test ${CMAKE_CURRENT_LIST_DIR}/property_dialogs_test.cpp)
