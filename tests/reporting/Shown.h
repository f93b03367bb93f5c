// Reads a queue the way a user interface does, as "severity:text:tag" lines.
#pragma once

#include <zel/OutputMessageQueue.h>

#include <string>
#include <vector>

namespace zel::test {

inline std::vector<std::string> shown(OutputMessageQueue& queue) {
  std::vector<std::string> lines;
  for (; !queue.empty(); queue.pop()) {
    lines.push_back(std::to_string(queue.getSeverity()) + ":" +
                    queue.getText() + ":" +
                    std::to_string(queue.getErrorTag()));
  }
  return lines;
}

}  // namespace zel::test
