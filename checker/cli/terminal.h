#pragma once
// What the standard streams are connected to; defined per platform.

// True when the stream (1: stdout, 2: stderr) is a terminal that shows ANSI colours.
bool isColourTerminal(int stream);
