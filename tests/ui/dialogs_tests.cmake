# Qt Test cases of the property dialogs and the colour box.
