// The single consumer of what the device sends, and the login into its setting mode.
//
// All of these run on the UI thread: ReceiveData for every chunk the port delivers, the login
// when "Login" is clicked, SendSTick on every tick of timer 101.
#pragma once

#include <cstddef>

class ExchangeHost;
class ExchangeState;

// Handles one received chunk: logs it while a reply is awaited (zero bytes shown as blanks),
// collects it (the newest 16000 bytes), matches the collection for the awaited kind and acts on
// the outcome: releases the worker, reports the login or the device leaving its setting mode,
// queues the follow-up jobs (a show after a
// factory reset, one retry of a failed signal query), follows the device's boot prompt.
void ReceiveData(ExchangeState& state, ExchangeHost& host, const char* data, size_t count);

// The "Login" button: empties the collection, stops the "s" stream, sends "+++" (not through
// the queue, so no time-out applies), logs it and awaits the answer.
void LoginByEscape(ExchangeState& state, ExchangeHost& host);

// Opening the port: from now on the setting menu of a booting device is awaited. The
// caller then starts the "s" stream once the port is open.
void AwaitSettingMenu(ExchangeState& state);

// One tick of timer 101: writes "s" to the port.
void SendSTick(ExchangeHost& host);
