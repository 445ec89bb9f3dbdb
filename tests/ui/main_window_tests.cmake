# Qt Test cases of the main window.
