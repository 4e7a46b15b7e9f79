#pragma once
// The generated-input run of a fuzz target (the program's LLVMFuzzerTestOneInput): 20,000 inputs
// from a fixed seed, every fourth one random bytes, the others a sound input made unsound by
// `mutated`. Each call's largest allocation must stay within `budget(input size)`.
#include "tests/native/allocation_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

inline void RunGeneratedInputs(std::uint32_t seed, const std::function<std::string(std::mt19937&)>& mutated,
                               const std::function<std::size_t(std::size_t)>& budget)
{
    std::mt19937 random(seed);
    for (int round = 0; round < 20000; ++round) {
        std::string input;
        if (round % 4 == 0) {
            input.resize(random() % 64);
            std::generate(input.begin(), input.end(), [&] { return static_cast<char>(random()); });
        } else {
            input = mutated(random);
        }
        allocation_watch::Start();
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
        ASSERT_LE(allocation_watch::Stop(), budget(input.size()))
            << "round " << round << ": an allocation out of proportion to a " << input.size() << "-byte input";
    }
}
