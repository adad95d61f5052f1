// Command ids of the main window. A command id is the UI string id of the
// text of its menu entry; 207 and 208 have no text (keyboard only).
#pragma once
#include "runtime/types.h"

constexpr u32 kCmdFileMenu = 19;
constexpr u32 kCmdNewProjectMenu = 20;
constexpr u32 kCmdNewData = 21;
constexpr u32 kCmdNewAudio = 22;
constexpr u32 kCmdOpen = 23;
constexpr u32 kCmdSave = 24;
constexpr u32 kCmdSaveAs = 25;
constexpr u32 kCmdSaveImage = 26;
constexpr u32 kCmdExit = 27;
constexpr u32 kCmdEditMenu = 28;
constexpr u32 kCmdUndo = 29;
constexpr u32 kCmdRedo = 30;
constexpr u32 kCmdCut = 31;
constexpr u32 kCmdCopy = 32;
constexpr u32 kCmdPaste = 33;
constexpr u32 kCmdDelete = 34;
constexpr u32 kCmdSelectAll = 36;
constexpr u32 kCmdAddFiles = 37;
constexpr u32 kCmdNewFolder = 38;
constexpr u32 kCmdExportFiles = 39;
constexpr u32 kCmdViewMenu = 40;
constexpr u32 kCmdToolbar = 41;
constexpr u32 kCmdStatusBar = 42;
constexpr u32 kCmdLanguageMenu = 43;
constexpr u32 kCmdSpanish = 44;
constexpr u32 kCmdEnglish = 45;
constexpr u32 kCmdBurnerMenu = 46;
constexpr u32 kCmdEject = 48;
constexpr u32 kCmdCopyDisc = 49;
constexpr u32 kCmdBurnProject = 50;
constexpr u32 kCmdBurnImage = 51;
constexpr u32 kCmdEraseDisc = 52;
constexpr u32 kCmdContinueMultiSession = 53;
constexpr u32 kCmdDiscInfo = 54;
constexpr u32 kCmdDeviceInfo = 55;
constexpr u32 kCmdWindowMenu = 56;
constexpr u32 kCmdNextWindow = 57;
constexpr u32 kCmdPreviousWindow = 58;
constexpr u32 kCmdCloseWindow = 59;
constexpr u32 kCmdHelpMenu = 60;
constexpr u32 kCmdHelp = 61;
constexpr u32 kCmdAbout = 62;
constexpr u32 kCmdEraseIcon = 63;  // the bar's icon button (empty text)
constexpr u32 kCmdTaskManager = 73;
constexpr u32 kCmdOptions = 74;
constexpr u32 kCmdSize800 = 207;   // Ctrl+1: window 800 x 600
constexpr u32 kCmdSize960 = 208;   // Ctrl+2: window 960 x 540

// UI string ids the main window shows beside its commands.
constexpr u32 kTextManualAddress = 162;
