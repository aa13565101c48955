// The platform services of this machine for one command's run: the real file system, the
// profile store over it and the module library stand-in, as the dialog uses them.
#pragma once

#include <memory>

#include "platform/services.h"

namespace quillmere::cli {

class MachineServices {
 public:
  MachineServices();
  ~MachineServices();
  MachineServices(const MachineServices&) = delete;
  MachineServices& operator=(const MachineServices&) = delete;

  [[nodiscard]] const PlatformServices& services() const { return services_; }

 private:
  std::unique_ptr<ProfileStore> store_;
  std::unique_ptr<LibraryLoader> libraries_;
  PlatformServices services_;
};

}  // namespace quillmere::cli
