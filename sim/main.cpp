#include "sim/SimulatorProgram.h"

int main(int argc, char** argv) {
    return mofeng::sim::RunSimulatorProgram(argc, argv);
}
