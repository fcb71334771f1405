#include <cstdio>

int main()
{
    std::fprintf(stderr, "usage: lumesta-tool COMMAND ...\n");
    return 2;
}
