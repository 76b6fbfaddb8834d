// Baud rates without a termios speed constant (14400, 250000, ...) go through the kernel's
// termios2 interface. Kept apart because its headers cannot be mixed with <termios.h>.
#pragma once

// Sets both directions of `fd` to `baud` bits per second. False with errno set on failure.
bool SetCustomBaud(int fd, int baud);

// The output rate the driver actually uses, or -1 with errno set.
int ReadCustomBaud(int fd);
