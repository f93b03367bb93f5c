#include <zel/TranslationManager.h>
#include <zel/UserMsg.h>

namespace zel {

// Translated before any token is filled, so the values go into the
// translation, which carries the same tokens as its source.
UserMsg::UserMsg(const std::string& text, bool* found)
    : m_translated(TranslationManager::translate(text, found)),
      m_source(text) {}

UserMsg::UserMsg(const UserMsg& other) = default;
UserMsg::UserMsg(UserMsg&& other) noexcept = default;
UserMsg& UserMsg::operator=(const UserMsg& other) = default;
UserMsg& UserMsg::operator=(UserMsg&& other) noexcept = default;
UserMsg::~UserMsg() = default;

std::string UserMsg::str() const { return m_translated.str(); }

UserMsg::operator std::string() const { return m_translated.str(); }

std::string UserMsg::source() const { return m_source.str(); }

std::string UserMsg::getDelimiterToken() { return "<untranslated>"; }

}  // namespace zel
