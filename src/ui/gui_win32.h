// The Win32 GUI layer's own entry: what start-up needs before any window.
#pragma once

// Loads the program icon and registers the two window classes.
void prepare_gui();
