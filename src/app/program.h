// The life of the process: start-up and the normal end.
#pragma once

// Start-up to the end of the message loop; gives the exit code of a normal end.
int program_main();
// Frees the shared texts; runs once, on a normal end only.
void on_program_exit();
