#pragma once

#include <string>

#include "desktop/processes.h"

namespace orvex::linux_desktop {

// Child processes through posix_spawn. Both output pipes are drained together with poll,
// so a child that fills one while the other is quiet never stalls. Standard input is
// /dev/null. Helper tools are looked for beside this program's executable.
class PosixProcesses : public Processes {
  public:
    // `toolDirectory`: where bundled tools live; empty means the directory of this
    // process's executable.
    explicit PosixProcesses(std::string toolDirectory = {});

    ProcessResult run(const std::string& executable,
                      const std::vector<std::string>& arguments) override;
    std::optional<std::string> bundledToolPath(const std::string& name) override;

  private:
    std::string toolDirectory_;
};

}  // namespace orvex::linux_desktop
