// A terminal for tests: an output stream buffer with a width that interprets
// what a display writes into the rows a user would see, scrollback included.
// It knows printable UTF-8 (one column per code point), carriage return, line
// feed (to the start of the next row, as a terminal driver makes it), the
// erase-to-end-of-line sequence and showing and hiding the cursor. A row that
// is written past its last column wraps onto the next one, as terminals do.
// Anything else is recorded in unknown(), which a test expects to be empty.
#pragma once

#include <streambuf>
#include <string>
#include <vector>

namespace zel::test {

class FakeTerminal : public std::streambuf {
 public:
  explicit FakeTerminal(int width) : m_width(width), m_rows(1) {}

  // A narrower or wider window from now on; rows already written stay.
  void setWidth(int width) { m_width = width; }
  int width() const { return m_width; }

  // Every row from the first, without trailing blanks and without the empty
  // rows below the last one written.
  std::vector<std::string> rows() const {
    std::vector<std::string> result;
    for (const auto& cells : m_rows) {
      std::string row;
      for (const auto& cell : cells) row += cell;
      row.erase(row.find_last_not_of(' ') + 1);
      result.push_back(row);
    }
    while (!result.empty() && result.back().empty()) result.pop_back();
    return result;
  }
  bool cursorVisible() const { return m_cursorVisible; }
  const std::vector<std::string>& unknown() const { return m_unknown; }
  // Every byte received, for tests that look at the stream itself.
  const std::string& received() const { return m_received; }

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) put(static_cast<char>(c));
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    for (std::streamsize i = 0; i < count; ++i) put(text[i]);
    return count;
  }

 private:
  void put(char c) {
    m_received += c;
    const auto byte = static_cast<unsigned char>(c);
    if (!m_escape.empty()) {
      m_escape += c;
      if (m_escape.size() > 1 && byte >= 0x40 && byte <= 0x7E && m_escape != "\033[") {
        sequence(m_escape);
        m_escape.clear();
      }
      return;
    }
    if (c == '\033') {
      m_escape = c;
    } else if (c == '\r') {
      m_column = 0;
      m_pendingWrap = false;
    } else if (c == '\n') {
      newRow();
    } else if ((byte & 0xC0) == 0x80) {
      // A continuation byte belongs to the code point written last.
      auto& cells = m_rows[m_row];
      const std::size_t at = m_pendingWrap ? m_column : m_column - 1;
      if (at < cells.size()) cells[at] += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      m_unknown.push_back(std::string(1, c));
    } else {
      if (m_pendingWrap) newRow();
      auto& cells = m_rows[m_row];
      if (cells.size() <= m_column) cells.resize(m_column + 1, " ");
      cells[m_column] = std::string(1, c);
      if (m_column + 1 >= static_cast<std::size_t>(m_width)) {
        m_pendingWrap = true;  // the cursor stays in the last column
      } else {
        ++m_column;
      }
    }
  }

  void newRow() {
    ++m_row;
    if (m_rows.size() <= m_row) m_rows.resize(m_row + 1);
    m_column = 0;
    m_pendingWrap = false;
  }

  void sequence(const std::string& escape) {
    if (escape == "\033[K") {
      auto& cells = m_rows[m_row];
      if (cells.size() > m_column) cells.resize(m_column);
    } else if (escape == "\033[?25l") {
      m_cursorVisible = false;
    } else if (escape == "\033[?25h") {
      m_cursorVisible = true;
    } else {
      m_unknown.push_back(escape);
    }
  }

  int m_width;
  std::vector<std::vector<std::string>> m_rows;  // one string per cell
  std::size_t m_row = 0;
  std::size_t m_column = 0;
  bool m_pendingWrap = false;
  bool m_cursorVisible = true;
  std::string m_escape;
  std::vector<std::string> m_unknown;
  std::string m_received;
};

}  // namespace zel::test
