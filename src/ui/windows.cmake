# The small windows of the desktop application: directory picker, searching and progress
# windows, the run summary, context help, About box, the command line and the first-start
# desktop launcher. Included by src/ui/CMakeLists.txt, which adds QUORVEL_UI_WINDOW_SOURCES
# to quorvel_ui.
find_package(Qt6 REQUIRED COMPONENTS Widgets)

set(QUORVEL_UI_WINDOW_SOURCES
  about_box.cpp about_box.h
  command_line.cpp command_line.h
  desktop_shortcut.cpp desktop_shortcut.h
  drawn_icon_button.cpp drawn_icon_button.h
  directory_picker.cpp directory_picker.h
  help_topics.cpp help_topics.h
  link_label.cpp link_label.h
  progress_window.cpp progress_window.h
  run_summary_window.cpp run_summary_window.h
  searching_window.cpp searching_window.h
  window_placement.cpp window_placement.h
)

# The help topics are a resource; compiled here so that it does not depend on AUTORCC.
qt6_add_resources(QUORVEL_UI_HELP_RESOURCE ${CMAKE_CURRENT_LIST_DIR}/help_topics.qrc)
list(APPEND QUORVEL_UI_WINDOW_SOURCES ${QUORVEL_UI_HELP_RESOURCE})
