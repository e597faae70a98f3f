// Reading data files of about 100 MB (ORVANE_BENCH_READ_MB changes it), made once per run in
// a scratch folder, in bytes per second:
//
//   BM_ReadDataFile/0  the plain two-column reader, readDataSet(path)
//   BM_ReadDataFile/1  readDataSet(path, {}) on the same file: it goes to the plain reader
//   BM_ReadDataFile/2  the extended reader on the same file (x-unit "none" sends it there)
//   BM_ReadDataFile/3  the extended reader on an analyser export of the same samples: a
//                      metadata block, ';' separators, decimal comma, three columns, 1,3 picked

#include "formats/data_set.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

using namespace orvane;
namespace fs = std::filesystem;

struct ReadFiles {
    fs::path folder, plain, export_;
    ReadFiles()
    {
        const char* mb = std::getenv("ORVANE_BENCH_READ_MB");
        const double target = (mb ? std::atof(mb) : 100.0) * 1e6;
        folder = fs::temp_directory_path() / ("orvane-read-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder);
        plain = folder / "plain.txt";
        export_ = folder / "export.csv";
        std::ofstream a(plain, std::ios::binary), b(export_, std::ios::binary);
        b << "Type;Analyser;\nVersion;1.2;\nDate;01.02.2026;\nValues;many;\nFreq [Hz];Level [dB];Phase [deg]\n";
        std::mt19937_64 random(5);
        std::uniform_real_distribution<double> noise(-1, 1);
        char line[128];
        double written = 0;
        for (long k = 0; written < target; ++k) {
            const double f = 9e3 + 1234.5 * static_cast<double>(k), level = -45.3 + 20 * noise(random);
            int n = std::snprintf(line, sizeof line, "%.10g %.8g\n", f, level);
            a.write(line, n);
            written += n;
            // Decimal comma: the same digits with ',' for '.'.
            n = std::snprintf(line, sizeof line, "%.10g;%.8g;%.6g\n", f, level, 180 * noise(random));
            for (int i = 0; i < n; ++i)
                if (line[i] == '.') line[i] = ',';
            b.write(line, n);
        }
    }
    ~ReadFiles() { fs::remove_all(folder); }
};

const ReadFiles& files()
{
    static const ReadFiles made;
    return made;
}

void BM_ReadDataFile(benchmark::State& state)
{
    const ReadFiles& f = files();
    const int mode = static_cast<int>(state.range(0));
    const fs::path& path = mode == 3 ? f.export_ : f.plain;
    ReadOptions options;
    if (mode == 2) options.xUnit = "none";
    if (mode == 3) options.xColumn = 1, options.yColumn = 3;
    std::size_t samples = 0;
    for (auto _ : state) {
        const DataSet set = mode == 0 ? readDataSet(path.string()) : readDataSet(path.string(), options);
        samples = set.abscissa.size();
        benchmark::DoNotOptimize(set.ordinate.data());
    }
    const auto bytes = static_cast<std::int64_t>(fs::file_size(path));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes);
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["samples"] = static_cast<double>(samples);
}
BENCHMARK(BM_ReadDataFile)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
