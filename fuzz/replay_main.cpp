// Replays fuzz inputs without libFuzzer: each argument is a file or a folder of files, and
// each file is run through the fuzz target once. Used by CTest over the corpus.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void Replay(const std::filesystem::path& path, int* count) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++*count;
}

}  // namespace

int main(int argc, char** argv) {
    int count = 0;
    for (int k = 1; k < argc; ++k) {
        std::filesystem::path path(argv[k]);
        if (std::filesystem::is_directory(path)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
                if (entry.is_regular_file()) {
                    files.push_back(entry.path());
                }
            }
            for (const auto& file : files) {
                Replay(file, &count);
            }
        } else {
            Replay(path, &count);
        }
    }
    std::printf("replayed %d inputs\n", count);
    return count > 0 ? 0 : 1;
}
