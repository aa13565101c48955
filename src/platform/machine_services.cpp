#include "platform/machine_services.h"

#include "platform/file_system.h"
#include "platform/module_library.h"
#include "platform/profile_store.h"

namespace quillmere {

MachineServices::MachineServices()
    : store_(MakeProfileStore(RealFileSystem())),
      libraries_(MakeExportTableLoader(RealFileSystem())),
      services_{*store_, RealFileSystem(), *libraries_} {}

MachineServices::~MachineServices() = default;

}  // namespace quillmere
