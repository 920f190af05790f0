// Runs a fuzz target's LLVMFuzzerTestOneInput on the files named on the
// command line, once each: the regression and seed inputs replayed as
// ordinary tests in builds without libFuzzer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) {
        LLVMFuzzerInitialize(&argc, &argv);
    }
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 2;
        }
        std::vector<uint8_t> input((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
        // Exact-size copy: an overread lands past the block.
        std::vector<uint8_t> exact(input);
        exact.shrink_to_fit();
        LLVMFuzzerTestOneInput(exact.data(), exact.size());
        std::printf("%s: %zu bytes, done\n", argv[i], input.size());
    }
    return 0;
}
