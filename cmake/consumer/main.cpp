#include <kvor/zephrin6/Zephrin6.hpp>

#include <iostream>

int main() {
  kvor::zephrin::StatusCode status = kvor::zephrin::StatusCode::RxTimeout;
  std::cout << "consumer sees " << status.GetName() << '\n';
  return status.IsError() ? 0 : 1;
}
