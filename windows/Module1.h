#pragma once

class QWidget;

// The main window's shared routines for moving the window and filling the screen. Their state
// belongs to the process, not to a window: it survives the main window being closed and loaded
// again. Window positions and sizes here are the window's outer rectangle in twips.
namespace Module1 {

struct FullScreenState
{
    bool fullScreen = false;
    int savedLeft = 0, savedTop = 0, savedWidth = 0, savedHeight = 0; // twips, rounded
    int savedEdgeLeft[3] = {0, 0, 0};                                // the three elements' Left
};

const FullScreenState& fullScreenState();

// Lets the user move `window` with the button that is down; nothing while it fills the screen.
void DragWindow(QWidget* window);

// Enters full screen (the whole screen but a 500-twip strip at the bottom) or leaves it, putting
// the window and the three elements' Left back where they were. Each element's Left is in its
// container's unit: pixels on the window itself, twips inside a control.
void ToggleFullScreen(QWidget* window, QWidget* first, QWidget* second, QWidget* third);

// The window's outer rectangle, in twips.
float windowLeft(const QWidget* window);
float windowTop(const QWidget* window);
float windowWidth(const QWidget* window);
float windowHeight(const QWidget* window);
void setWindowLeft(QWidget* window, float twips);
void setWindowTop(QWidget* window, float twips);
void setWindowWidth(QWidget* window, float twips);
void setWindowHeight(QWidget* window, float twips);

} // namespace Module1
