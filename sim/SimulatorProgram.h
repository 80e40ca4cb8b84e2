#pragma once

#include <string>
#include <vector>

#include "sim/Simulator.h"

namespace mofeng::sim {

struct ParsedArguments {
    SimulatorOptions options;
    bool help = false;
    bool version = false;
    std::string error;  // empty when the arguments are usable
};

// Options: --port N, --seed N, --fanout N, --latency-ms N, --log FILE,
// --fail-rate R, --drop-rate R, --stall-rate R, --garbage-rate R, each also as
// --name=value; --help and --version. arguments excludes the program name.
ParsedArguments ParseSimulatorArguments(const std::vector<std::string>& arguments);

std::string SimulatorUsage();

// The mofeng-sim program: serves until SIGINT or SIGTERM. Exit code 0 on a
// clean stop, 1 when it cannot listen, 2 on bad arguments.
int RunSimulatorProgram(int argc, char** argv);

}  // namespace mofeng::sim
