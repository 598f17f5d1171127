// Linked with the toolchain's default runtime DLLs, to show the import check catches them.
#include <iostream>
#include <string>

int main()
{
    std::string text = "sample";
    std::cout << text << '\n';
}
