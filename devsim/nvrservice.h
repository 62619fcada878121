#ifndef NVRSERVICE_H
#define NVRSERVICE_H

// Maintenance-protocol service of the simulated NVRs: one listener per NVR
// on its address, port 6060, following the device when its address changes.
#include <asio/io_context.hpp>

class SimFleet;
struct SimOptions;

void startNvrServices(SimFleet &fleet, asio::io_context &io, const SimOptions &options);

#endif // NVRSERVICE_H
