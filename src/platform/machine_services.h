// The platform services of this machine, made in one place for every front end (the dialog and
// the command-line tool): the real file system, the profile store of this platform over it and
// the module library stand-in.
#pragma once

#include <memory>

#include "platform/services.h"

namespace quillmere {

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

}  // namespace quillmere
