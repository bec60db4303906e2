#pragma once

// Takes one OpenGL error (if any) and writes its name to the log. Called once
// per frame, so several pending errors are reported over several frames.
void checkGLError();
