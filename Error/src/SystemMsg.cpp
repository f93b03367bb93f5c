#include <zel/SystemMsg.h>

#include <iostream>
#include <utility>

namespace zel {

SystemMsg::SystemMsg(const std::string& text) : m_argCount(0), m_text(text) {}
SystemMsg::SystemMsg(const SystemMsg& other) = default;
SystemMsg::SystemMsg(SystemMsg&& other) noexcept = default;
SystemMsg& SystemMsg::operator=(const SystemMsg& other) = default;
SystemMsg& SystemMsg::operator=(SystemMsg&& other) noexcept = default;
SystemMsg::~SystemMsg() = default;

std::string SystemMsg::str() const { return m_text; }

SystemMsg::operator std::string() const { return m_text; }

SystemMsg& SystemMsg::fillNext(const std::string& valueText) {
  ++m_argCount;
  // Tokens are "%1" ... "%9": always two characters.
  const std::string token = "%" + std::to_string(m_argCount);
  bool replaced = false;
  std::size_t pos = m_text.find(token);
  while (pos != std::string::npos) {
    m_text.replace(pos, 2, valueText);
    replaced = true;
    // Resume after the inserted value, so a value holding its own token
    // cannot make this loop forever.
    pos = m_text.find(token, pos + valueText.size());
  }
  if (!replaced) {
    std::cerr << "Warning: token %" << m_argCount
              << " was not used in the message: \"" << valueText << '"';
  }
  return *this;
}

}  // namespace zel
