#pragma once

#include <string>

namespace driver {

// The system's text for the Windows error code |error| (a GetLastError()
// value), without its line end or closing period; "error <code>" when the
// system has no text for it.
std::string systemMessage(unsigned long error);

}  // namespace driver
