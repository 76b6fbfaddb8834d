// The main window's own messages. Other threads and deferred actions reach the UI thread only
// through these; every one passes through CZR350FrameWnd::HandleMessage.
#pragma once

#include "session/message_pump.h"

constexpr MessageId WM_USER = 0x400;
constexpr MessageId WM_SERIAL_DATA = WM_USER + 10;        // bytes, count
constexpr MessageId WM_FORM_RULE = WM_USER + 1100;        // rule number, argument
constexpr MessageId WM_LOG_TEXT = WM_USER + 1101;         // text, length
constexpr MessageId WM_SHOW_RECEIVED = WM_USER + 1102;    // parse and apply the show reply
constexpr MessageId WM_SAVE_TO_FILE = WM_USER + 1104;     // "SaveToFile" clicked
constexpr MessageId WM_LOAD_FROM_FILE = WM_USER + 1105;   // "LoadFromFile" clicked
constexpr MessageId WM_SET_BUTTONS = WM_USER + 1107;      // 1 enables / else disables, set number
constexpr MessageId WM_SWITCH_LANGUAGE = WM_USER + 1108;  // the "Language" combo changed
constexpr MessageId WM_QUIT_PROGRAM = WM_USER + 1200;     // end the message loop
constexpr MessageId WM_JOB_FINISHED = WM_USER + 1201;     // job kind, completed

// System commands of the window buttons.
constexpr WParam SC_MINIMIZE = 0xF020;
constexpr WParam SC_MAXIMIZE = 0xF030;
constexpr WParam SC_RESTORE = 0xF120;
constexpr WParam SC_CLOSE = 0xF060;
constexpr MessageId WM_SYSCOMMAND = 0x0112;
