#pragma once

// The window's key callback (GLFW 2.7 key codes and actions): the function
// keys switch the help screen, the frame-rate text and the render settings,
// tell the player through the current level and play the menu sound.
// Presses that arrive before a level is current (the loading frames) change
// the setting and play the sound but send no message; F1 and F2 do nothing at
// all while their element does not exist, so the flag never disagrees with
// what is on screen.
void keyCallback(int key, int action);
