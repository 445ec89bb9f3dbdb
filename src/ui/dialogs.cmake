# The seven property dialogs, their shared parts and the colour box. Included by
# src/ui/CMakeLists.txt.
set(QUORVEL_UI_DIALOG_SOURCES
  background_image_box.cpp background_image_box.h
  cell_properties_dialog.cpp cell_properties_dialog.h
  choosers.cpp choosers.h
  color_box.cpp color_box.h
  html_properties_dialog.cpp html_properties_dialog.h
  labelled_rows.cpp labelled_rows.h
  navigator_properties_dialog.cpp navigator_properties_dialog.h
  page_settings_editor.cpp page_settings_editor.h
  pictures_properties_dialog.cpp pictures_properties_dialog.h
  property_dialog.cpp property_dialog.h
  property_dialogs.cpp property_dialogs.h
  ranged_spin_box.cpp ranged_spin_box.h
  table_properties_dialog.cpp table_properties_dialog.h
  text_block_editor.cpp text_block_editor.h
  text_properties_dialog.cpp text_properties_dialog.h
  thumbnail_properties_dialog.cpp thumbnail_properties_dialog.h
  widget_factory.cpp widget_factory.h
)
