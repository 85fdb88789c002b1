/* The settings dialog's layout in dialog units: x, y, width and height of each control. The Win32
   resource script and the SDL dialog both read it, so it is plain preprocessor definitions. */
#pragma once

#define DIALOG_WIDTH 179
#define DIALOG_HEIGHT 88

#define RUN_X 17
#define RUN_Y 61
#define RUN_WIDTH 109
#define RUN_HEIGHT 21
#define QUIT_X 135
#define QUIT_WIDTH 24

#define TOGGLE_Y 37
#define TOGGLE_WIDTH 42
#define TOGGLE_HEIGHT 15
#define ANTIALIASED_X 18
#define WINDOWED_X 68
#define FORCE_16_9_X 117

#define MODES_X 16
#define MODES_Y 12
#define MODES_WIDTH 144
#define MODES_DROPPED_HEIGHT 108

#define GROUP_X 2
#define GROUP_WIDTH 174
#define RESOLUTION_GROUP_Y 3
#define RESOLUTION_GROUP_HEIGHT 28
#define TOGGLE_GROUP_Y 29
#define TOGGLE_GROUP_HEIGHT 26
#define BUTTON_GROUP_Y 53
#define BUTTON_GROUP_HEIGHT 34
