// A tiny application that knows the library only through its installed files.
#include <zel/ZELError.h>

#include <iostream>

int main() {
  std::string logged;
  zel::ErrorLogFile::setSink([&](const std::string& entry) { logged = entry; });
  zel::ErrorMsg("Consumer", "main",
                zel::SystemMsg("%1 of %2 done").arg(3).arg(4.5f), zel::typeSevere)
      .logError();
  try {
    throw zel::data::notFound("Consumer", "open", "missing", zel::typeError);
  } catch (const zel::Error& e) {
    logged += " | " + e.getMessage();
  }
  std::cout << logged << '\n';
  return logged == "Severe: Consumer::main - 3 of 4.5 done | missing" ? 0 : 1;
}
