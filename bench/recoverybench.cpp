// pcw_recoverybench DATA RECOVERY MIB WORKERS: encodes MIB MiB of data held
// in memory, spread over DATA shards, into RECOVERY shards, by WORKERS
// threads each coding its own share of every stripe, as the recovery parts
// are coded; prints the data encoded per second in GB/s (10^9 bytes). A set
// of more than 256 shards is coded over GF(2^16), as its recovery parts are,
// in stripes as short as theirs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "formats/recovery/GaloisField.h"
#include "formats/recovery/RecoveryHeader.h"
#include "formats/recovery/RegionCoder.h"

using recovery::GfMatrix;

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: pcw_recoverybench DATA RECOVERY MIB WORKERS\n");
        return 2;
    }
    const int k = std::atoi(argv[1]), m = std::atoi(argv[2]);
    const size_t total = size_t(std::atol(argv[3])) << 20;
    const int workers = std::atoi(argv[4]);
    if (k < 1 || m < 1 || k + m > recovery::kMostShards || total == 0 || workers < 1) return 2;
    const size_t stripe = std::min<size_t>(1 << 20, ((48u << 20) / size_t(k + m)) & ~size_t(4095));
    const recovery::RegionCoder coder(recovery::CauchyRows(recovery::FieldFor(k + m), k, m));

    // Each worker codes its own stripes, from buffers of its own.
    const size_t stripes = std::max<size_t>(1, total / (size_t(k) * stripe));
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w)
        threads.emplace_back([&, w] {
            std::vector<std::vector<uint8_t>> in(size_t(k),
                                                 std::vector<uint8_t>(stripe, uint8_t(w)));
            std::vector<std::vector<uint8_t>> out(static_cast<size_t>(m),
                                                  std::vector<uint8_t>(stripe));
            std::vector<const uint8_t*> inputs;
            std::vector<uint8_t*> outputs;
            for (auto& b : in) inputs.push_back(b.data());
            for (auto& b : out) outputs.push_back(b.data());
            for (size_t s = size_t(w); s < stripes; s += size_t(workers))
                coder.Apply(inputs.data(), outputs.data(), stripe);
        });
    for (std::thread& t : threads) t.join();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.2f\n", double(stripes * size_t(k) * stripe) / seconds / 1e9);
    return 0;
}
