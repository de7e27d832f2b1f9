#include "api/registry.h"

const zk_api_entry* const zk_api_tables[] = {
    zk_lang_api,   zk_runner_api, zk_system_api, zk_gfx_api, zk_memory_api,
    zk_cartdata_api, zk_input_api, zk_audio_api, zk_shell_api, nullptr,
};
