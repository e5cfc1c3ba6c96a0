// Writes a seeded, reproducible source tree for the copy benchmarks:
//   tavelin-bench-tree DIR [--files N] [--seed S] [--max-size BYTES]
// Sizes run from 100 bytes to --max-size (default 64 KiB), skewed towards small files so that
// 50,000 files make about 900 MB; about 220 folders, three levels deep.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [--files N] [--seed S] [--max-size BYTES]\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    long files = 50000;
    unsigned long seed = 20261210;
    long maxSize = 64 * 1024;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string opt = argv[i];
        if (opt == "--files") {
            files = std::atol(argv[i + 1]);
        } else if (opt == "--seed") {
            seed = std::strtoul(argv[i + 1], nullptr, 10);
        } else if (opt == "--max-size") {
            maxSize = std::atol(argv[i + 1]);
        }
    }
    std::mt19937_64 rng(seed);
    std::vector<std::string> folders{root};
    ::mkdir(root.c_str(), 0755);
    for (int a = 0; a < 6; ++a) {
        const std::string fa = root + "/dir" + std::to_string(a);
        ::mkdir(fa.c_str(), 0755);
        folders.push_back(fa);
        for (int b = 0; b < 6; ++b) {
            const std::string fb = fa + "/sub" + std::to_string(b);
            ::mkdir(fb.c_str(), 0755);
            folders.push_back(fb);
            for (int c = 0; c < 5; ++c) {
                const std::string fc = fb + "/leaf" + std::to_string(c);
                ::mkdir(fc.c_str(), 0755);
                folders.push_back(fc);
            }
        }
    }
    std::vector<std::uint64_t> buffer(static_cast<std::size_t>(maxSize) / 8 + 1);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const char* extensions[] = {".txt", ".doc", ".pdf", ".jpg", ".csv", ".odt"};
    std::uint64_t total = 0;
    for (long i = 0; i < files; ++i) {
        const std::string& folder = folders[rng() % folders.size()];
        const double u = unit(rng);
        const long size =
            100 + static_cast<long>(static_cast<double>(maxSize - 100) * std::pow(u, 2.6));
        for (std::size_t w = 0; w < static_cast<std::size_t>(size) / 8 + 1; ++w) {
            buffer[w] = rng();
        }
        const std::string path = folder + "/file" + std::to_string(i) + extensions[rng() % 6];
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::write(fd, buffer.data(), static_cast<std::size_t>(size)) != size) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
            return 1;
        }
        const struct timespec times[2] = {{1700000000 + i, 0}, {1700000000 + i, 0}};
        ::futimens(fd, times);
        ::close(fd);
        total += static_cast<std::uint64_t>(size);
    }
    std::printf("%ld files, %zu folders, %llu bytes\n", files, folders.size(),
                static_cast<unsigned long long>(total));
    return 0;
}
