#include <cstdio>

int main() {
    std::puts("tarmin-cli");
    return 0;
}
