// Script API entry points of this subsystem, registered by the runner.
#include "api/registry.h"

const zk_api_entry zk_lang_api[] = {
    {nullptr, nullptr},
};
