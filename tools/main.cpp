#include <cstdio>

int main() {
    std::puts("usage: cibrano-table COMMAND ...");
    return 1;
}
