// Placeholder until the loader lands.
#include "module/printer_command_module.h"

#include "platform/module_library.h"

namespace quillmere {
PrinterCommandModule::PrinterCommandModule(const PlatformServices& services) : services_(services) {}
PrinterCommandModule::~PrinterCommandModule() = default;
}  // namespace quillmere
