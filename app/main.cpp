#include <iostream>

int main() {
  std::cout << "Telvanta: the windows are not built yet.\n";
  return 0;
}
