#include <cstdio>

int main()
{
    std::puts ("not built yet");
    return 1;
}
