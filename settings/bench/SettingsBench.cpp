// Times the settings engine and two other INI libraries on the same files in the
// same run, then prints our time divided by each peer's time.
#include <INIReader.h>
#define SI_NO_CONVERSION  // byte strings, as the settings file holds
#include <SimpleIni.h>
#include <benchmark/benchmark.h>
#include <ini.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "IniFile.h"
#include "Settings.h"

namespace {

const char* kKeys[] = {"Enable", "MaxZoomRange", "MinZoomRange", "EnableFlash", "TwoFingerTap2Zoom100"};

struct Files {
    std::string folder, small, large;
    Files() {
        char pattern[] = "/tmp/pinchwell-bench-XXXXXX";
        folder = mkdtemp(pattern);
        small = folder + "/config.ini";
        large = folder + "/large.ini";
        std::ofstream(small, std::ios::binary)
            << "; Pinchwell settings\r\n[Pinchwell]\r\nEnable=TRUE\r\nMaxZoomRange=300\r\nMinZoomRange=100\r\n"
               "EnableFlash=TRUE\r\nTwoFingerTap2Zoom100=TRUE\r\n";
        std::ofstream out(large, std::ios::binary);
        for (int section = 0; section < 100; ++section) {
            out << "; section " << section << "\r\n[Section" << section << "]\r\n";
            for (int key = 0; key < 98; ++key) out << "Key" << key << "=Value " << section * 100 + key << "\r\n";
        }
    }
    ~Files() {
        std::remove(small.c_str());
        std::remove(large.c_str());
        rmdir(folder.c_str());
    }
};

Files& TheFiles() {
    static Files files;
    return files;
}

int IgnoreEntry(void*, const char*, const char*, const char*) { return 1; }

void Ours_Parse(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        IniEntries entries;
        CIniFile::Load(path, entries);
        benchmark::DoNotOptimize(entries.data());
    }
}
void Inih_Parse(benchmark::State& state, const std::string& path) {
    for (auto _ : state) benchmark::DoNotOptimize(ini_parse(path.c_str(), IgnoreEntry, nullptr));
}
void SimpleIni_Parse(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        CSimpleIniA ini;
        benchmark::DoNotOptimize(ini.LoadFile(path.c_str()));
    }
}

void Ours_Lookup(benchmark::State& state) {
    CSettings settings(TheFiles().small);
    for (auto _ : state)
        for (const char* key : kKeys) benchmark::DoNotOptimize(settings.GetString(key));
}
void Inih_Lookup(benchmark::State& state) {
    INIReader reader(TheFiles().small);
    for (auto _ : state)
        for (const char* key : kKeys) benchmark::DoNotOptimize(reader.Get("Pinchwell", key, ""));
}
void SimpleIni_Lookup(benchmark::State& state) {
    CSimpleIniA ini;
    ini.LoadFile(TheFiles().small.c_str());
    for (auto _ : state)
        for (const char* key : kKeys) benchmark::DoNotOptimize(std::string(ini.GetValue("Pinchwell", key, "")));
}

// inih only reads, so the rewrite compares with SimpleIni alone.
void Ours_Rewrite(benchmark::State& state) {
    for (auto _ : state) CIniFile::SetValue("Key50", "changed", "Section50", TheFiles().large);
}
void SimpleIni_Rewrite(benchmark::State& state) {
    for (auto _ : state) {
        CSimpleIniA ini;
        ini.LoadFile(TheFiles().large.c_str());
        ini.SetValue("Section50", "Key50", "changed");
        ini.SaveFile(TheFiles().large.c_str());
    }
}

// Remembers each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> nanos;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) nanos[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const std::string small = TheFiles().small, large = TheFiles().large;
    benchmark::RegisterBenchmark("Ours/Parse7", Ours_Parse, small);
    benchmark::RegisterBenchmark("Inih/Parse7", Inih_Parse, small);
    benchmark::RegisterBenchmark("SimpleIni/Parse7", SimpleIni_Parse, small);
    benchmark::RegisterBenchmark("Ours/Parse10k", Ours_Parse, large);
    benchmark::RegisterBenchmark("Inih/Parse10k", Inih_Parse, large);
    benchmark::RegisterBenchmark("SimpleIni/Parse10k", SimpleIni_Parse, large);
    benchmark::RegisterBenchmark("Ours/Lookup5", Ours_Lookup);
    benchmark::RegisterBenchmark("Inih/Lookup5", Inih_Lookup);
    benchmark::RegisterBenchmark("SimpleIni/Lookup5", SimpleIni_Lookup);
    benchmark::RegisterBenchmark("Ours/Rewrite10k", Ours_Rewrite);
    benchmark::RegisterBenchmark("SimpleIni/Rewrite10k", SimpleIni_Rewrite);

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nours / peer (at most 1.0 means at or ahead of the peer)\n");
    for (const char* task : {"Parse7", "Parse10k", "Lookup5", "Rewrite10k"}) {
        double ours = reporter.nanos["Ours/" + std::string(task)];
        for (const char* peer : {"Inih", "SimpleIni"}) {
            auto it = reporter.nanos.find(std::string(peer) + "/" + task);
            if (ours > 0 && it != reporter.nanos.end() && it->second > 0)
                std::printf("%-10s vs %-9s %6.2f\n", task, peer, ours / it->second);
        }
    }
    benchmark::Shutdown();
    return 0;
}
