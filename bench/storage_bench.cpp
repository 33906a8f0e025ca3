// Benchmarks of the files: reading a project of a million points and importing a raw file of a
// million lines (the shipped S&P 500 file repeated with shifted dates).

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "charts/project_view.h"
#include "model/project.h"
#include "storage/data_importer.h"
#include "storage/file_io.h"
#include "storage/project_reader.h"

namespace {

constexpr int kLines = 1000000;

std::vector<std::string> Sp500Rows() {
    std::ifstream in(QUILLMARK_SOURCE_DIR "/Data Files/sp500-2000.csv");
    std::vector<std::string> rows;
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        size_t comma = line.find(',');
        if (comma != std::string::npos) {
            rows.push_back(line.substr(comma));  // everything after the date
        }
    }
    return rows;
}

// The S&P rows over and over on consecutive days from 1 January 1900, with ISO dates.
const std::string& RawFile() {
    static const std::string path = [] {
        std::vector<std::string> rows = Sp500Rows();
        std::string text = "date,open,high,low,close,adjclose,volume\n";
        CDataPoint day;
        day.SetDate(1, 1, 1900);
        char date[32];
        for (int i = 0; i < kLines && !rows.empty(); ++i) {
            CDataPoint d;
            d.SetSerial(day.m_serial + i);
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", d.m_year, d.m_month, d.m_day);
            text += date;
            text += rows[static_cast<size_t>(i) % rows.size()];
            text += '\n';
        }
        std::string file = "/tmp/quillmark-bench-raw-" + std::to_string(getpid()) + ".csv";
        std::string error;
        WriteFileAtomically(file, text, error);
        return file;
    }();
    return path;
}

// The raw file imported (close column) and saved as a project.
const std::string& ProjectFile() {
    static const std::string path = [] {
        CProject project;
        CDataImporter importer(project);
        importer.m_valueColumn = 5;
        importer.Open(RawFile());
        SetCurrentDataSet(project, importer.Import());
        ResetLimitsToCurrent(project);
        std::string text;
        project.Write(text);
        std::string file = "/tmp/quillmark-bench-project-" + std::to_string(getpid()) + ".xml";
        std::string error;
        WriteFileAtomically(file, text, error);
        return file;
    }();
    return path;
}

void BM_ImportMillionLines(benchmark::State& state) {
    const std::string& file = RawFile();
    for (auto _ : state) {
        CProject project;
        CDataImporter importer(project);
        importer.m_valueColumn = 5;
        importer.Open(file);
        CDataSet* ds = importer.Import();
        benchmark::DoNotOptimize(ds->Points().size());
        if (ds->Points().size() != static_cast<size_t>(kLines)) {
            state.SkipWithError("import lost points");
        }
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ImportMillionLines)->Unit(benchmark::kMillisecond);

// Any raw file named by QUILLMARK_RAW_FILE (close in column 5), for comparisons with other tools
// on the very same file (see compare_pandas.py). Registered only when the variable is set.
void BM_ImportRawFile(benchmark::State& state, const std::string& file) {
    size_t points = 0;
    for (auto _ : state) {
        CProject project;
        CDataImporter importer(project);
        importer.m_valueColumn = 5;
        importer.Open(file);
        points = importer.Import()->Points().size();
    }
    state.counters["points"] = static_cast<double>(points);
}
const bool kImportRawFileRegistered = [] {
    if (const char* file = std::getenv("QUILLMARK_RAW_FILE")) {
        benchmark::RegisterBenchmark("BM_ImportRawFile", BM_ImportRawFile, std::string(file))
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

void BM_ReadMillionPointProject(benchmark::State& state) {
    const std::string& file = ProjectFile();
    for (auto _ : state) {
        CProject project;
        CProjectReader reader(project);
        reader.Open(file);
        reader.Read();
        if (project.Primary() == nullptr ||
            project.Primary()->Points().size() != static_cast<size_t>(kLines)) {
            state.SkipWithError("read lost points");
        }
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ReadMillionPointProject)->Unit(benchmark::kMillisecond);

void BM_WriteMillionPointProject(benchmark::State& state) {
    CProject project;
    CProjectReader reader(project);
    reader.Open(ProjectFile());
    reader.Read();
    for (auto _ : state) {
        std::string text;
        project.Write(text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_WriteMillionPointProject)->Unit(benchmark::kMillisecond);

}  // namespace
