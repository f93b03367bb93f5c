// An application callback that a progress reporter calls each time the working
// code reports progress or a prediction, on the reporting thread. Returning 1
// requests an interrupt of the running operation; any other value lets it go on.
// Reporters hold processors by plain pointer and never delete them: unregister
// a processor before destroying it. Registering or unregistering from within
// process() is safe: a processor registered there first runs at the next yield,
// one unregistered there is not called again.
#pragma once

#include <zel/Export.h>

namespace zel {

class ZEL_ERROR_API MidOpProcessor {
 public:
  MidOpProcessor() = default;
  MidOpProcessor(const MidOpProcessor&) = default;
  MidOpProcessor(MidOpProcessor&&) = default;
  MidOpProcessor& operator=(const MidOpProcessor&) = default;
  MidOpProcessor& operator=(MidOpProcessor&&) = default;

  virtual int process() = 0;

 protected:
  ~MidOpProcessor() = default;
};

}  // namespace zel
