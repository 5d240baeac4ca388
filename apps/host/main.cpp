#include <cstdio>

int main()
{
    std::puts("zarvik-host");
    return 0;
}
