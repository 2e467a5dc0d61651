// Load and save figures for a settings-sized document of 2,000 elements.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/xml/document.h"

namespace {

std::string buildDocument() {
  plat::xml::Document doc;
  plat::xml::Element root = doc.createDocumentElement("MRVConfig");
  for (int s = 0; s < 20; ++s) {
    plat::xml::Element section = root.appendChild("SECTION_" + std::to_string(s));
    for (int k = 0; k < 99; ++k)
      section.appendChild("KEY_" + std::to_string(k)).setAttribute("value", "value & text " + std::to_string(k));
  }
  return doc.saveString();  // 1 + 20 + 20 * 99 = 2,001 elements
}

void BM_LoadString(benchmark::State& state) {
  const std::string text = buildDocument();
  for (auto _ : state) {
    plat::xml::Document doc;
    benchmark::DoNotOptimize(doc.loadString(text));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LoadString);

void BM_SaveString(benchmark::State& state) {
  plat::xml::Document doc;
  doc.loadString(buildDocument());
  for (auto _ : state) benchmark::DoNotOptimize(doc.saveString());
}
BENCHMARK(BM_SaveString);

void BM_SaveFile(benchmark::State& state) {
  plat::xml::Document doc;
  doc.loadString(buildDocument());
  const std::string path =
      (std::filesystem::temp_directory_path() / ("plat_xml_bench_" + std::to_string(::getpid()) + ".xml")).string();
  for (auto _ : state) benchmark::DoNotOptimize(doc.saveFile(path));
  std::filesystem::remove(path);
}
BENCHMARK(BM_SaveFile)->Unit(benchmark::kMillisecond);

}  // namespace
