#include "devservices.h"

void startDeviceServices(SimFleet &, asio::io_context &, const SimOptions &)
{
}
