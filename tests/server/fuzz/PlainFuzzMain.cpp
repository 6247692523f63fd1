// Stand-in driver where no fuzzing compiler is installed: feeds the seed inputs and random
// mutations of them to the same target. Options: -runs=N (other options are ignored).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    long runs = 20000;
    std::vector<std::string> seeds;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "-runs=", 6) == 0)
            runs = std::atol(argv[i] + 6);
        else if (argv[i][0] != '-') {
            std::ifstream in(argv[i], std::ios::binary);
            seeds.emplace_back(std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>());
        }
    }
    if (seeds.empty()) seeds.emplace_back("{}");
    std::mt19937 rng(12345);
    for (long r = 0; r < runs; ++r) {
        std::string input = seeds[rng() % seeds.size()];
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits && !input.empty(); ++e) {
            const std::size_t at = rng() % input.size();
            switch (rng() % 3) {
            case 0:
                input[at] = static_cast<char>(rng() % 256);
                break;
            case 1:
                input.erase(at, 1 + rng() % 4);
                break;
            default:
                input.insert(at, 1, "{}[]\",:0-eE.tfn\\"[rng() % 16]);
            }
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
    return 0;
}
