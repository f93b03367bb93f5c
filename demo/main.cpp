// A first look at the library: build a few messages and write them to the log.
#include <zel/ZELError.h>

#include <iostream>

int main() {
  using namespace zel;
  ErrorMsg loaded("MeshReader", "read",
                  SystemMsg("Read %1 elements from '%2'.").arg(12800).arg("wing.msh"),
                  typeWarning);
  loaded.logError();
  ErrorMsg failed("Solver", "iterate",
                  SystemMsg("Residual %1 above tolerance after %2 iterations.")
                      .arg(0.00125f)
                      .arg(200),
                  typeSevere);
  failed.logError();
  std::cout << "Logged two messages.\n";
  return 0;
}
