// The process: prepare the GUI layer, then the program's own start-up.
#include <windows.h>

#include "app/program.h"
#include "ui/gui_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    prepare_gui();
    return program_main();
}
