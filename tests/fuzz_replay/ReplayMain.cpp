// Replays a fuzz harness's committed corpus: every file of the directory FUNZIONI_REPLAY_CORPUS,
// in name order, goes through the harness's entry point once. A finding aborts, as it does under
// the fuzzer, so the test fails on the input that the log names last.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::filesystem::path> CorpusFiles(const std::filesystem::path& directory) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main() {
  const std::filesystem::path directory = FUNZIONI_REPLAY_CORPUS;
  std::error_code error;
  if (!std::filesystem::is_directory(directory, error)) {
    std::fprintf(stderr, "no corpus at %s\n", directory.c_str());
    return 1;
  }
  const std::vector<std::filesystem::path> files = CorpusFiles(directory);
  if (files.empty()) {
    std::fprintf(stderr, "empty corpus at %s\n", directory.c_str());
    return 1;
  }
  for (const std::filesystem::path& path : files) {
    // Named before the run, so that an abort leaves the culprit as the last line.
    std::fprintf(stderr, "%s\n", path.filename().c_str());
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    // The fuzzer never passes a null pointer, not even for an empty input.
    static constexpr std::uint8_t kNothing = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &kNothing : bytes.data(), bytes.size());
  }
  std::printf("replayed %zu inputs from %s\n", files.size(), directory.c_str());
  return 0;
}
