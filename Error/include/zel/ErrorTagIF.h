#pragma once

#include <zel/ErrorTag.h>
#include <zel/Export.h>

namespace zel {

/// A tag provider that the application supplies: currentTag() is called once
/// for each message an application error reporter stores, and its result is
/// stamped on the stored message. The reporter it is registered with owns it.
class ZEL_ERROR_API ErrorTagIF {
 public:
  /// An interface without data.
  ErrorTagIF() = default;
  ErrorTagIF(const ErrorTagIF&) = default;  ///< Copies the object.
  ErrorTagIF& operator=(const ErrorTagIF&) = default;  ///< Assigns a copy.
  /// The reporter that owns a provider deletes it through this interface.
  virtual ~ErrorTagIF();

  /// The tag that the error reporter puts on the next stored record.
  virtual ErrorTag::ErrorTagType currentTag() const = 0;
};

}  // namespace zel
