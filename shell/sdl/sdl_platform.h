#pragma once
// The SDL versions of the platform services: message boxes, clipboard, presenting, process exit
// and window teardown.

// Installs them into `platform`; called once at start-up.
void install_sdl_platform();
