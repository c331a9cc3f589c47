// Loading and saving a profile the size of a machine file: 30 sections of 20 keys, values
// shaped like the machine's own (quantities, integers, names). Loading reads every key, as
// the machine document does; saving erases and rewrites every section, then writes the file
// to disk atomically (the flush to disk dominates that figure).
#include "settings/NumberText.h"
#include "settings/ProfileFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kSections = 30;
constexpr int kKeysPerSection = 20;

std::string SectionName(int s) {
    return "SECTION" + std::to_string(s);
}
std::string KeyName(int k) {
    return "KEY" + std::to_string(k);
}

std::string ValueText(int s, int k) {
    switch ((s + k) % 4) {
    case 0:
        return morvik::FormatG(s * 0.25 + k, 9) + " in";
    case 1:
        return std::to_string(100 + k) + " in/min";
    case 2:
        return std::to_string(s * k);
    default:
        return "Tool " + std::to_string(k) + " end mill";
    }
}

// A machine-file-sized profile in a temporary folder, created once per benchmark.
class MachineFile {
public:
    MachineFile() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "morvik-bench-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        path_ = (folder_ / "machine.mch").string();
        std::ofstream out(path_, std::ios::binary);
        for (int s = 0; s < kSections; ++s) {
            out << "[" << SectionName(s) << "]\r\n";
            for (int k = 0; k < kKeysPerSection; ++k) {
                out << KeyName(k) << "=" << ValueText(s, k) << "\r\n";
            }
            out << "\r\n";
        }
    }
    ~MachineFile() { std::filesystem::remove_all(folder_); }
    const std::string& Path() const { return path_; }

private:
    std::filesystem::path folder_;
    std::string path_;
};

void BM_LoadProfile(benchmark::State& state) {
    const MachineFile file;
    for (auto _ : state) {
        const morvik::CProfileFile profile(file.Path());
        benchmark::DoNotOptimize(profile);
    }
}
BENCHMARK(BM_LoadProfile);

void BM_LoadProfileAndReadEveryKey(benchmark::State& state) {
    const MachineFile file;
    std::vector<std::string> sections;
    std::vector<std::string> keys;
    for (int s = 0; s < kSections; ++s) {
        sections.push_back(SectionName(s));
    }
    for (int k = 0; k < kKeysPerSection; ++k) {
        keys.push_back(KeyName(k));
    }
    for (auto _ : state) {
        const morvik::CProfileFile profile(file.Path());
        for (const std::string& section : sections) {
            for (const std::string& key : keys) {
                benchmark::DoNotOptimize(profile.GetString(section, key, "", 80));
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kSections * kKeysPerSection);
}
BENCHMARK(BM_LoadProfileAndReadEveryKey);

// Erase and rewrite every section in memory, as saving the machine does.
void RewriteAll(morvik::CProfileFile& profile) {
    for (int s = 0; s < kSections; ++s) {
        const std::string section = SectionName(s);
        profile.EraseSection(section);
        for (int k = 0; k < kKeysPerSection; ++k) {
            profile.WriteString(section, KeyName(k), ValueText(s, k));
        }
    }
}

void BM_RewriteEverySectionInMemory(benchmark::State& state) {
    const MachineFile file;
    morvik::CProfileFile profile(file.Path());
    for (auto _ : state) {
        RewriteAll(profile);
        benchmark::DoNotOptimize(profile.Text());
    }
}
BENCHMARK(BM_RewriteEverySectionInMemory);

void BM_SaveProfile(benchmark::State& state) {
    const MachineFile file;
    morvik::CProfileFile profile(file.Path());
    for (auto _ : state) {
        RewriteAll(profile);
        if (!profile.Save()) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_SaveProfile)->Unit(benchmark::kMicrosecond);

} // namespace
