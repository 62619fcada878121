#ifndef DEVSERVICES_H
#define DEVSERVICES_H

// Entry point of the simulated devices' configuration, media and maintenance
// services. The discovery side calls it once the fleet exists.
#include <asio/io_context.hpp>

class SimFleet;
struct SimOptions;

void startDeviceServices(SimFleet &fleet, asio::io_context &io, const SimOptions &options);

#endif // DEVSERVICES_H
