// Counts every allocation of this test program to check what a transform
// costs in memory: its work buffer on the user-interface thread, nothing
// at all on the worker.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "analysis/transform_job.h"
#include "tests/analysis/reference.h"

namespace {
std::atomic<std::size_t> allocations{0};
std::atomic<std::size_t> allocatedBytes{0};

void* CountedAllocation(std::size_t size) {
    allocations.fetch_add(1);
    allocatedBytes.fetch_add(size);
    return std::malloc(size > 0 ? size : 1);
}
}  // namespace

// Every form, since the sanitizer runtimes supply their own of each.
void* operator new(std::size_t size) {
    void* block = CountedAllocation(size);
    if (block == nullptr) std::abort();
    return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return CountedAllocation(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return CountedAllocation(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace {

TEST(TransformMemory, OnlyTheWorkBufferIsAllocatedAndTheWorkerAllocatesNothing) {
    const std::vector<std::int16_t> sound = BellSamples(88200);
    const AnalysisRequest request = MakeRequest(0.05, 20.0, 79600, 88200);
    std::vector<double> spectrum(request.steps + 1);
    TransformJob job;
    const std::size_t bytesBefore = allocatedBytes.load();
    ASSERT_TRUE(PrepareTransformJob(job, request, sound.data(), 88200, spectrum.data()));
    // 2 x 2^20 doubles: the data in the lower half, the twiddle table in the upper.
    EXPECT_EQ(allocatedBytes.load() - bytesBefore, std::size_t{16} << 20);
    const std::size_t countBefore = allocations.load();
    TransformWorker(job);
    EXPECT_EQ(allocations.load(), countBefore);
    EXPECT_EQ(job.passesDone.load(), 20);
}

}  // namespace
