#pragma once

#include <QString>

// What must be settled before and just after the application object exists.
namespace processsetup {

// Why no display can be reached (empty when one can); without one the toolkit would abort
// before the program could say why. A platform other than X11 chosen by the user is trusted as
// it is; an X display named by DISPLAY is connected to once, to see that it answers.
QString displayProblem();

// First thing in main, before any thread starts: few allocator arenas. Each thread of the
// engines and the web engine would otherwise keep an arena of its own, and memory freed after a
// channel switch stays in them: about 150 MB more at rest, for no speed a user can see.
void limitAllocatorArenas();

// Before QApplication: attributes and environment that keep the program from writing caches
// and let the web engine run beside GL video.
void beforeApplication();
void keepSoundClientOutOfHome();
// After QApplication: the program's identity on the desktop, font substitutes for the Chinese
// faces and the numeric locale the playback engine needs.
void afterApplication();
void installFontSubstitutes();
// Icon, class name and desktop entry of every window; must precede the first window.
void identifyApplication();

} // namespace processsetup
