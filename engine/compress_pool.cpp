#include "engine/compress_pool.h"

#include <malloc.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <tuple>

namespace {

// Above the largest block of a compressor's working memory (block size 9).
constexpr int kKeptWorkingMemory = 16 << 20;

} // namespace

struct CompressPool::Job {
    enum class State { queued, running, done };

    const void* tag = nullptr;
    wxString source;
    wxString target;
    FileTime time = 0;
    Write write;
    std::shared_ptr<const OpenDirectory> below;
    State state = State::queued;
    std::unique_ptr<AtomicFile> file;  // when done and written
};

CompressPool::CompressPool(unsigned workers)
{
    // A compressor takes megabytes of working memory for every file; by default the C library
    // hands it back after each small file and faults it in again, a tenth of the whole work.
    // Kept in the workers' heaps it is reused; the destructor gives it back.
    mallopt(M_MMAP_THRESHOLD, kKeptWorkingMemory);
    mallopt(M_TRIM_THRESHOLD, 4 * kKeptWorkingMemory);
    maxWorkers_ = workers != 0 ? workers : std::max(1u, std::thread::hardware_concurrency());
}

CompressPool::~CompressPool()
{
    Clear();
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    queued_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
    malloc_trim(0);
}

bool CompressPool::Full() const
{
    const std::lock_guard lock(mutex_);
    return jobs_.size() >= 2 * maxWorkers_;
}

void CompressPool::Submit(const void* tag, const wxString& source, const wxString& target,
                          FileTime time, Write write,
                          std::shared_ptr<const OpenDirectory> below)
{
    auto job = std::make_unique<Job>();
    std::tie(job->tag, job->source, job->target, job->time) = std::tie(tag, source, target, time);
    job->write = std::move(write);
    job->below = std::move(below);
    const std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    // Workers start as the work comes: a folder with a few files to compress needs few.
    if (idle_ == 0 && workers_.size() < maxWorkers_) {
        try {
            workers_.emplace_back([this] { Work(); });
            ++idle_;
        } catch (const std::system_error&) {
            // The workers there are do the work; with none, the taker does.
        }
    }
    queued_.notify_one();
}

std::unique_ptr<AtomicFile> CompressPool::WriteNow(
    const wxString& target, FileTime time, const Write& write,
    const std::shared_ptr<const OpenDirectory>& below)
{
    auto file = std::make_unique<AtomicFile>(target, below);
    if (file->Create() && write(*file) && SetFileModTime(file->Fd(), time))
        return file;
    const int error = errno;
    file.reset();
    errno = error;
    return nullptr;
}

void CompressPool::Run(Job& job)
{
    try {
        job.file = WriteNow(job.target, job.time, job.write, job.below);
    } catch (...) {
        // Only the lack of memory throws here: the copy thread writes the file itself.
        job.file.reset();
    }
}

void CompressPool::Work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        Job* job = nullptr;
        queued_.wait(lock, [&] {
            const auto next = std::ranges::find_if(
                jobs_, [](const auto& j) { return j->state == Job::State::queued; });
            job = next == jobs_.end() ? nullptr : next->get();
            return ending_ || job;
        });
        if (ending_)
            return;
        job->state = Job::State::running;
        --idle_;
        lock.unlock();
        Run(*job);
        lock.lock();
        job->state = Job::State::done;
        ++idle_;
        finished_.notify_all();
    }
}

void CompressPool::Finish(std::unique_lock<std::mutex>& lock)
{
    Job& job = *jobs_.front();
    if (job.state == Job::State::queued) {
        job.state = Job::State::running;
        lock.unlock();
        Run(job);
        lock.lock();
        job.state = Job::State::done;
        return;
    }
    finished_.wait(lock, [&] { return job.state == Job::State::done; });
}

std::unique_ptr<AtomicFile> CompressPool::Take(const void* tag, const wxString& source,
                                               const wxString& target)
{
    std::unique_lock lock(mutex_);
    if (jobs_.empty() || jobs_.front()->tag != tag)
        return nullptr;
    Finish(lock);
    const std::unique_ptr<Job> job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    if (job->source != source || job->target != target)
        return nullptr;
    return std::move(job->file);
}

void CompressPool::Drop(const void* tag)
{
    std::unique_lock lock(mutex_);
    if (jobs_.empty() || jobs_.front()->tag != tag)
        return;
    if (jobs_.front()->state == Job::State::running)
        finished_.wait(lock, [&] { return jobs_.front()->state == Job::State::done; });
    const std::unique_ptr<Job> job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
}

void CompressPool::Clear()
{
    std::unique_lock lock(mutex_);
    std::erase_if(jobs_, [](const auto& job) { return job->state == Job::State::queued; });
    finished_.wait(lock, [&] {
        return std::ranges::all_of(
            jobs_, [](const auto& job) { return job->state == Job::State::done; });
    });
    std::deque<std::unique_ptr<Job>> dropped;
    dropped.swap(jobs_);
    lock.unlock();
}
