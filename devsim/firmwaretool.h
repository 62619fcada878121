#ifndef FIRMWARETOOL_H
#define FIRMWARETOOL_H

// "corvane-devsim make-firmware --model M --version V [--size BYTES] FILE":
// writes a valid firmware image for the simulated devices.
// Returns -1 when the arguments are not this subcommand, else the exit code.
int runFirmwareTool(int argc, char **argv);

#endif // FIRMWARETOOL_H
