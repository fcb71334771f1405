// Replays inputs through a fuzz target without libFuzzer, so that any
// compiler builds the targets and the ordinary test suite runs them over
// their seed corpora and over every input that ever found a fault.
//
//   replay_<target> FOLDER_OR_FILE...
//
// A folder is read in name order; a missing folder counts as empty. Ends
// with status 1 if nothing at all was replayed (a wrong path, most likely).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> pliki;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        if (fs::is_directory(argv[i], ec)) {
            for (const auto& e : fs::directory_iterator(argv[i], ec))
                if (e.is_regular_file() && e.path().filename().string()[0] != '.')
                    pliki.push_back(e.path());
        } else if (fs::is_regular_file(argv[i], ec)) {
            pliki.push_back(argv[i]);
        }
    }
    std::sort(pliki.begin(), pliki.end());
    for (const fs::path& p : pliki) {
        std::ifstream f(p, std::ios::binary);
        const std::string dane((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        std::fprintf(stderr, "%s\n", p.string().c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(dane.data()), dane.size());
    }
    std::printf("replayed %zu inputs\n", pliki.size());
    return pliki.empty() ? 1 : 0;
}
