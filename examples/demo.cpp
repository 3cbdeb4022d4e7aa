// The main demo: a tour of the library on the simulated runtime.
#include <kvor/zephrin6/Zephrin6.hpp>

#include <iostream>

int main() {
  using kvor::zephrin::StatusCode;
  StatusCode status = StatusCode::RxTimeout;
  std::cout << "A status code: " << status << "\n  " << status.GetDescription() << '\n';
  return 0;
}
