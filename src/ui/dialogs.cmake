# The seven property dialogs and the colour box. Included by src/ui/CMakeLists.txt.
set(QUORVEL_UI_DIALOG_SOURCES)
