// The size of the screen the skin is shown on.
#pragma once

// The primary screen's size in pixels. Returns 1.
int GetScreenSize(int& width, int& height);
