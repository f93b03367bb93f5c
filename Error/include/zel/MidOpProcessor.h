#pragma once

#include <zel/Export.h>

namespace zel {

/// An application callback that a progress reporter calls each time the working
/// code reports progress or a prediction, on the reporting thread. Returning 1
/// requests an interrupt of the running operation; any other value lets it go on.
/// Reporters hold processors by plain pointer and never delete them: unregister
/// a processor before destroying it. Registering or unregistering from within
/// process() is safe: a processor registered there first runs at the next yield,
/// one unregistered there is not called again.
class ZEL_ERROR_API MidOpProcessor {
 public:
  /// An interface without data.
  MidOpProcessor() = default;
  MidOpProcessor(const MidOpProcessor&) = default;  ///< Copies the object.
  MidOpProcessor(MidOpProcessor&&) = default;  ///< Moves from the object.
  MidOpProcessor& operator=(const MidOpProcessor&) = default;  ///< Assigns a copy.
  MidOpProcessor& operator=(MidOpProcessor&&) = default;  ///< Moves into this object.

  /// Called at each report; 1 requests an interrupt, any other value goes on.
  virtual int process() = 0;

 protected:
  /// Not virtual: a processor is never deleted through this interface.
  ~MidOpProcessor() = default;
};

}  // namespace zel
