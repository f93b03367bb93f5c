# The README shows examples/minimal.cpp as the minimal program: fail when the
# two differ. Usage: cmake -DREADME=<README.md> -DEXAMPLE=<minimal.cpp> -P check_readme.cmake
file(READ ${README} readme)
file(READ ${EXAMPLE} example)
string(FIND "${readme}" "```cpp\n${example}```" at)
if(at EQUAL -1)
  message(FATAL_ERROR "README.md does not show ${EXAMPLE} as it is")
endif()
