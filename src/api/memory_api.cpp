// Script API entry points of this subsystem, registered by the runner.
#include "api/cartdata.h"
#include "api/registry.h"

const zk_api_entry zk_memory_api[] = {
    // Cartridge save data.
    {"cartdata", zk_cartdata},
    {"dget", zk_dget},
    {"dset", zk_dset},
    {nullptr, nullptr},
};
