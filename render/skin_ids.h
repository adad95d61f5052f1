// Resource ids of the pictures built into the program: the application icon
// (an icon group) and the skin images (8-bit RGBA PNG as RCDATA). Read by the
// resource script as well as by the code, so plain #defines. What each
// picture shows, frame by frame, is listed in tools/skins/skin_maker.cpp,
// which draws them.
#pragma once

// Icon group of the window class: 32 x 32 and 16 x 16.
#define IDI_KELVANE 128

// Image strips: frames are squares of the image's smaller side, laid side by
// side. The counts are the frames each strip holds.
#define IDR_SKIN_APP_ICON 201        // 16 x 16, the caption's icon
#define IDR_SKIN_MENU_ICONS 202      // 16 x 16 frames, menus, bars and icon buttons
#define SKIN_MENU_ICON_COUNT 27
#define IDR_SKIN_MESSAGE_ICONS 203   // 48 x 48 frames: warning, information, question, error
#define SKIN_MESSAGE_ICON_COUNT 4
#define IDR_SKIN_NOTICE 204          // 48 x 48, the slide-in notice
#define IDR_SKIN_HOST_BACKGROUND 205 // 400 x 400, the page host's corner picture
#define IDR_SKIN_START_ICONS 206     // 32 x 32 frames, one per start tile
#define SKIN_START_ICON_COUNT 5
#define IDR_SKIN_JOB_BUTTONS 207     // 16 x 16 frames: stop, pause, resume, close
#define SKIN_JOB_BUTTON_COUNT 4
#define IDR_SKIN_JOB_STATUS 208      // 16 x 16 frames: completed, failed, with warnings
#define SKIN_JOB_STATUS_COUNT 3
#define IDR_SKIN_WATERMARK 209       // 128 x 128, job windows above the button band
#define IDR_SKIN_PULSE 210           // 16 x 16, the pulsing status picture
#define IDR_SKIN_BROWSE_ICONS 211    // 16 x 16 frames, the browse dialog's tool bar
#define SKIN_BROWSE_ICON_COUNT 7
#define IDR_SKIN_AUDIO_TILE 212      // 96 x 96, the audio project's background tile

// The job windows' eject buttons are one-item bars whose item has icon 14:
// they load the menu strip, whose frame 14 is the eject picture.
#define IDR_SKIN_EJECT_ICONS IDR_SKIN_MENU_ICONS
