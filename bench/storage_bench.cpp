// Benchmarks of the files: reading and writing a project of a million points, saving one of ten
// million with its peak memory, and importing a raw file of a million lines (the shipped S&P 500
// file repeated with shifted dates).

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "charts/project_view.h"
#include "model/project.h"
#include "storage/data_importer.h"
#include "storage/date_text.h"
#include "storage/file_io.h"
#include "storage/project_reader.h"
#include "storage/project_writer.h"

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

// The S&P rows over and over on consecutive days of the real calendar from 1 January 1900,
// with ISO dates (the importer takes no day the calendar lacks, such as 29 February 1900).
const std::string& RawFile() {
    static const std::string path = [] {
        std::vector<std::string> rows = Sp500Rows();
        std::string text = "date,open,high,low,close,adjclose,volume\n";
        int day = 1;
        int month = 1;
        int year = 1900;
        char date[64];
        for (int i = 0; i < kLines && !rows.empty(); ++i) {
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
            if (!IsCalendarDay(++day, month, year)) {
                day = 1;
                month = month % 12 + 1;
                year += month == 1 ? 1 : 0;
            }
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
        std::string text = ProjectText(project);
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

CProject& MillionPointProject() {
    static CProject project;
    if (project.DataSetCount() == 0) {
        CProjectReader reader(project);
        reader.Open(ProjectFile());
        reader.Read();
    }
    return project;
}

// The whole text in memory, as the save built it before it streamed.
void BM_WriteMillionPointProject(benchmark::State& state) {
    const CProject& project = MillionPointProject();
    for (auto _ : state) {
        std::string text = ProjectText(project);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_WriteMillionPointProject)->Unit(benchmark::kMillisecond);

int64_t PeakResidentKiB() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Saving to a file as the Save command does: chunks streamed to a temporary file, renamed over
// the target. peak_extra_MiB is how far the process's peak resident memory rose while saving
// (only the first save can raise it), chunk_KiB the largest piece handed to the file.
void SaveProjectCase(benchmark::State& state, const CProject& project, int64_t points) {
    const std::string file = "/tmp/quillmark-bench-save-" + std::to_string(getpid()) + ".xml";
    const int64_t peakBefore = PeakResidentKiB();
    size_t largestChunk = 0;
    for (auto _ : state) {
        std::string error;
        bool saved = StreamFileAtomically(
            file,
            [&](const FileChunkWriter& write) {
                return CProjectWriter([&](std::string_view chunk) {
                           largestChunk = std::max(largestChunk, chunk.size());
                           return write(chunk);
                       })
                    .Write(project);
            },
            error);
        if (!saved) {
            state.SkipWithError(error.c_str());
        }
    }
    state.counters["peak_extra_MiB"] = static_cast<double>(PeakResidentKiB() - peakBefore) / 1024;
    state.counters["chunk_KiB"] = static_cast<double>(largestChunk) / 1024;
    state.SetItemsProcessed(state.iterations() * points);
    std::remove(file.c_str());
}

void BM_SaveMillionPointProject(benchmark::State& state) {
    SaveProjectCase(state, MillionPointProject(), kLines);
}
BENCHMARK(BM_SaveMillionPointProject)->Unit(benchmark::kMillisecond);

// Ten million points (about 900 MB of points in memory, a 500 MB file), built in place so that
// the peak before the save is the project itself.
void BM_SaveTenMillionPointProject(benchmark::State& state) {
    constexpr int64_t kPoints = 10 * int64_t{kLines};
    CProject project;
    CDataSet* ds = project.AddDataSet("ten million");
    for (int64_t i = 0; i < kPoints; ++i) {
        CDataPoint point;
        point.SetSerial(static_cast<int32_t>(600000 + i));
        point.SetValue(Raw, 1000.0 + static_cast<double>(i % 100000) * 0.01237);
        ds->AppendPoint(point);
    }
    SaveProjectCase(state, project, kPoints);
}
BENCHMARK(BM_SaveTenMillionPointProject)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
