// A failure that has already been reported: it unwinds to main, which ends the process with
// `status` once every temporary file has been removed.
#pragma once

namespace vrel {

struct ExitRequest {
  int status;
};

}  // namespace vrel
