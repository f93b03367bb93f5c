#include <zel/ProgressOperation.h>

namespace zel {

ProgressOperation::ProgressOperation() : m_type(0) {}
ProgressOperation::ProgressOperation(int type) : m_type(type) {}
ProgressOperation::ProgressOperation(const ProgressOperation& other) = default;
ProgressOperation& ProgressOperation::operator=(
    const ProgressOperation& other) = default;
ProgressOperation::~ProgressOperation() = default;

ProgressOperation::operator int() const { return m_type; }

void ProgressOperation::setType(int type) { m_type = type; }

}  // namespace zel
