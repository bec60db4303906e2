#pragma once

// The window's key callback (GLFW 2.7 key codes and actions): the function
// keys switch the help screen, the frame-rate text and the render settings,
// tell the player through the current level and play the menu sound.
// Presses that arrive before a level is current change the setting only.
void keyCallback(int key, int action);
