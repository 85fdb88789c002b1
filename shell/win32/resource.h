#pragma once
// Identifiers of the program's resources: the settings dialog and its controls.

#define IDD_SETTINGS 101
#define IDC_ANTIALIASED 1011
#define IDC_WINDOWED 1012
#define IDC_FORCE_16_9 1013
#define IDC_MODES 1014
