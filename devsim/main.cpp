// corvane-devsim: a fleet of simulated IPC and NVR devices on loopback.
#include "devservices.h"
#include "firmwaretool.h"
#include "discoveryresponder.h"
#include "onvif/onvifhost.h"
#include "simfleet.h"
#include "simoptions.h"

#include <asio/io_context.hpp>
#include <asio/posix/stream_descriptor.hpp>
#include <asio/read.hpp>
#include <asio/signal_set.hpp>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <iostream>

namespace {

// Every device holds several sockets; the default limit is too small for a thousand.
void raiseFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

int main(int argc, char **argv)
{
    const int toolResult = runFirmwareTool(argc, argv);
    if (toolResult >= 0)
        return toolResult;
    SimOptions options;
    bool help = false;
    std::string error;
    if (!parseSimOptions(argc, argv, options, help, error)) {
        std::cerr << "corvane-devsim: " << error << "\n\n" << simUsage();
        return 2;
    }
    if (help) {
        std::cout << simUsage();
        return 0;
    }
    std::signal(SIGPIPE, SIG_IGN);
    raiseFileLimit();

    SimFleet fleet(options);
    if (!fleet.init(error)) {
        std::cerr << "corvane-devsim: " << error << '\n';
        return 1;
    }
    asio::io_context io;
    DiscoveryResponder responder(io, fleet, options);
    if (!responder.start(error)) {
        std::cerr << "corvane-devsim: " << error << '\n';
        return 1;
    }
    startDeviceServices(fleet, io, options);
    OnvifHost onvif(io, fleet, options);
    if (!onvif.start(error)) {
        std::cerr << "corvane-devsim: " << error << '\n';
        return 1;
    }

    for (const auto &device : fleet.devices()) {
        const std::string onvifLine = onvif.describe(*device);
        std::cout << (onvifLine.empty() ? device->describe() : onvifLine) << '\n';
    }
    std::cout << "ready" << std::endl;

    asio::signal_set signals(io, SIGINT, SIGTERM);
    signals.async_wait([&io](const asio::error_code &, int) { io.stop(); });

    // A test that crashes never stops its simulator; its closed pipe does.
    asio::posix::stream_descriptor input(io);
    char inputByte = 0;
    std::function<void()> watchInput = [&]() {
        asio::async_read(input, asio::buffer(&inputByte, 1),
                         [&](const asio::error_code &ec, std::size_t) {
                             if (ec)
                                 io.stop();
                             else
                                 watchInput();
                         });
    };
    if (options.exitOnStdinEof) {
        input.assign(::dup(STDIN_FILENO));
        watchInput();
    }
    io.run();
    onvif.shutdown();
    fleet.save();
    return 0;
}
