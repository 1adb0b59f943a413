#pragma once

// What must be settled before and just after the application object exists.
namespace processsetup {

// Whether a display can be reached at all; without one the toolkit would abort before the
// program could say why. A platform chosen by the user is trusted as it is.
bool displayAvailable();

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
