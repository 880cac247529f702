#pragma once

namespace driver {

enum ExitStatus {
  kExitSuccess = 0,
  kExitLibraryUnavailable = 1,
};

}  // namespace driver
