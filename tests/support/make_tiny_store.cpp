// Writes the window tests' small store to the path given, for the end-to-end tests that run the
// real program with a store beside it.

#include <exception>
#include <iostream>

#include "tests/support/tiny_store.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "usage: make_tiny_store STORE\n";
        return 2;
    }
    try {
        moshitong::testing::writeStore(argv[1], moshitong::testing::tinyStoreRows());
    } catch (const std::exception& error) {
        std::cerr << "make_tiny_store: " << argv[1] << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
