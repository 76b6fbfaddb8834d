// The main window's own messages. Deferred actions of the window reach the UI thread through
// these; every one passes through CZR350FrameWnd::HandleMessage.
#pragma once

#include <cstdint>

using MessageId = unsigned;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using MessageResult = std::intptr_t;

constexpr MessageId WM_USER = 0x400;
constexpr MessageId WM_FORM_RULE = WM_USER + 1100;        // rule number, argument
constexpr MessageId WM_SAVE_TO_FILE = WM_USER + 1104;     // "SaveToFile" clicked
constexpr MessageId WM_LOAD_FROM_FILE = WM_USER + 1105;   // "LoadFromFile" clicked
constexpr MessageId WM_SET_BUTTONS = WM_USER + 1107;      // 1 enables / else disables, set number
constexpr MessageId WM_SWITCH_LANGUAGE = WM_USER + 1108;  // the "Language" combo changed
constexpr MessageId WM_QUIT_PROGRAM = WM_USER + 1200;     // end the message loop
