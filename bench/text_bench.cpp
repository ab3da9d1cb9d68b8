// How the two texts that can grow without limit scale: the list of lines a
// run splits once, and a suffix as long as 编辑框3 asks.
#include <benchmark/benchmark.h>

#include <cstddef>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

#include "core/text.h"
#include "fake_seam.h"
#include "sending/sending.h"

namespace {

// About 10 MB of lines, Chinese and ASCII mixed as users write them.
Text ten_megabyte_list() {
    const Text lines[] = {"嗨，你好，我在测试软件呢，这就是个测试，您不需要回话的哦！", "hello, anyone here?",
                          "下雨了，大家回家收衣服去吧！", ""};
    Text list;
    for (std::size_t i = 0; list.size() < std::size_t{10} * 1024 * 1024; ++i) {
        list += lines[i % std::size(lines)];
        list += "\r\n";
    }
    return list;
}

void split_ten_megabytes(benchmark::State& state) {
    const Text list = ten_megabyte_list();
    for (auto _ : state) {
        auto lines = text_split(list, "\r\n");
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(list.size()));
}
BENCHMARK(split_ten_megabytes)->Unit(benchmark::kMillisecond);

void million_letters(benchmark::State& state) {
    fake::reset();
#if defined(__x86_64__) || defined(__i386__)
    fake::state().time_stamp_counter = [] { return static_cast<std::uint64_t>(__rdtsc()); };
#endif
    const auto count = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        Text letters = random_letters(count);
        benchmark::DoNotOptimize(letters);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(million_letters)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
