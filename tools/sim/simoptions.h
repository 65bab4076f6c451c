#pragma once

#include "interfacebox.h"
#include "specimen.h"

#include <cstdint>
#include <string>
#include <vector>

// The simulator's command line.
struct SimOptions {
    SpecimenKind kind = SpecimenKind::Tension;
    std::int32_t offsetCounts = 0;
    BoxSettings box;
    std::uint32_t seed = 1;
    int registerPort = 0; // 1 to 4, or 0 for none
    bool log = false;
    bool help = false;
};

// Parses the arguments after the program name; on a mistake, sets `error`.
SimOptions ParseSimOptions(const std::vector<std::string>& args, std::string& error);
const char* SimUsageText();
