#pragma once

// Makes every window of the program known to the window registry by its name, so that menus
// and links can name the windows they lead to.
void registerWindows();
